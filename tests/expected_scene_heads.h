// The head of each road's scene as the scene file writer writes it, worked out by hand from the
// roads' header lines and import options: raw lines as they are, "load" blocks with their options
// in the writer's starting parameter style (quoted name, value, comma) two blanks deep. The one
// copy that the tests of the head itself and the end-to-end tests of each road compare with.
//
// The values that vary go in as the writer prints them: dal is the number of the first line,
// upVector and meterScale the values of "import_up_vector" and "meter_scale". A head ends after
// the import options' block; the model group follows it after an empty line.
#pragma once

#include <string>

// Export: an identifier line, the NURBS geometry loaded whatever the settings, and the camera
// adjusted to the scene.
inline std::string ExpectedExportHead(const std::string& dal, const std::string& upVector,
                                      const std::string& meterScale) {
    return "//---tarvex:dal:" + dal + "---\n"
           "//---import:dal:1---\n"
           "//---id:1---\n"
           "// This is a Vistrel scene file\n"
           "\n"
           "load \"trvgeometry_nurbs.so\" {\n"
           "}\n"
           "load \"trvrtopt.so\" {\n"
           "  \"import_mode\" on,\n"
           "  \"import_merge_groups\" off,\n"
           "  \"import_merge_objects\" off,\n"
           "  \"import_keep_original\" on,\n"
           "  \"import_adjust_environment\" on,\n"
           "  \"import_adjust_camera\" on,\n"
           "  \"import_up_vector\" " + upVector + ",\n"
           "  \"meter_scale\" " + meterScale + ",\n"
           "  \"ext\" off,\n"
           "}\n";
}

// Render: no identifier line, no geometry loaded, no camera option.
inline std::string ExpectedRenderHead(const std::string& dal, const std::string& upVector,
                                      const std::string& meterScale) {
    return "//---tarvex:dal:" + dal + "---\n"
           "//---import:dal:1---\n"
           "// This is a Vistrel scene file\n"
           "\n"
           "load \"trvrtopt.so\" {\n"
           "  \"import_mode\" on,\n"
           "  \"import_merge_groups\" off,\n"
           "  \"import_merge_objects\" off,\n"
           "  \"import_adjust_environment\" on,\n"
           "  \"import_keep_original\" on,\n"
           "  \"import_up_vector\" " + upVector + ",\n"
           "  \"meter_scale\" " + meterScale + ",\n"
           "  \"ext\" off,\n"
           "}\n";
}

// Update: Render's head claiming NURBS whatever the settings (dal 7), and keeping the renderer's
// camera.
inline std::string ExpectedUpdateHead(const std::string& upVector, const std::string& meterScale) {
    std::string head = ExpectedRenderHead("7", upVector, meterScale);
    head.insert(head.find("  \"import_keep_original\""), "  \"import_adjust_camera\" off,\n");
    return head;
}
