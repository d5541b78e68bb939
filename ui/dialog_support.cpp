#include "ui/dialog_support.h"

#include "plugin/host_resources.h"

ProUIGridopts DialogGridCell(int row, int column, int columns) {
    ProUIGridopts grid = {};
    grid.row = row;
    grid.column = column;
    grid.horz_cells = columns;
    grid.vert_cells = 1;
    grid.attach_top = grid.attach_bottom = grid.attach_left = grid.attach_right = PRO_B_TRUE;
    grid.horz_resize = grid.vert_resize = PRO_B_TRUE;
    grid.top_offset = grid.bottom_offset = grid.left_offset = grid.right_offset = -1;
    return grid;
}

void AddLayoutButton(const char* dialog, const char* layout, int column, const char* name,
                     const char* textKey) {
    ProUIGridopts grid = DialogGridCell(0, column);
    ProUILayoutPushbuttonAdd(dialog, layout, name, &grid);
    ProUIPushbuttonTextSet(dialog, name, MessageText(textKey).c_str());
}
