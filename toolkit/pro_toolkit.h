// The host toolkit as the plug-in sees it: status codes, handles, records, callback types and the
// declarations of every host function the plug-in calls.
//
// The functions themselves are listed once, in toolkit/pro_functions.def. In the plug-in each one
// is a forwarder (toolkit/pro_forwarders.cpp) that finds the host's function by name on its first
// call; the simulated host builds its name table from the same list, so the two sides cannot
// disagree on a signature.
//
// Conventions of the host, which both sides keep:
// - Every function answers a status (ProError) unless its entry says otherwise: PRO_TK_NO_ERROR on
//   success, a negative code on failure. A function the host lacks answers PRO_TK_COMM_ERROR.
// - Outputs are written only on success. Outputs of the record readers (ProSurfacedataGet,
//   ProEdgedataGet, ProBsplinedataGet, ProBsplinesrfdataGet) may be null when not wanted.
// - Host arrays (ProArray) are allocated by the host, sized with ProArraySizeGet and released
//   with ProArrayFree, unless a function says the array belongs to the record it came from.
// - Wide text is 16-bit (ProWchar) and zero-terminated. A host function that fills a caller's
//   buffer of a named size (ProName, ProLine, ProPath) writes at most that many characters,
//   terminator included, cutting longer text.
// - Visits: the filter (when given) sees each item first; PRO_TK_CONTINUE skips the item, any
//   other answer hands it to the action. An action answering anything but PRO_TK_NO_ERROR ends
//   the visit. The application data pointer is passed unchanged to both. Visits may nest.
//
// Plain C++, no platform headers: the plug-in, the simulated host and the tests all include it.
#pragma once

#include <cstddef>

// ---- Basic types -------------------------------------------------------------------------------

typedef char16_t ProWchar;  // 16-bit on every build, as on Windows
typedef int ProError;       // status answer of a host function
typedef int ProBoolean;     // PRO_B_FALSE or PRO_B_TRUE
typedef void* ProAppData;   // application data handed through visits and dialog actions
typedef void* ProArray;     // host array: a block the host allocated, with its size kept by the host

// ---- Status codes ------------------------------------------------------------------------------
// The plug-in tests only PRO_TK_NO_ERROR, PRO_TK_USER_ABORT and PRO_TK_CONTINUE; every other answer
// is a failure. PRO_TK_BAD_INPUTS and PRO_TK_E_NOT_FOUND are there for the simulated host, which
// answers them for bad arguments and for items it does not have.

constexpr ProError PRO_TK_NO_ERROR = 0;
constexpr ProError PRO_TK_GENERAL_ERROR = -1;
constexpr ProError PRO_TK_BAD_INPUTS = -2;
constexpr ProError PRO_TK_USER_ABORT = -3;  // the user cancelled a file dialog or a choice
constexpr ProError PRO_TK_E_NOT_FOUND = -4;
constexpr ProError PRO_TK_CONTINUE = -7;    // a visit filter's answer: skip this item
constexpr ProError PRO_TK_COMM_ERROR = -11; // the host lacks the function

constexpr ProBoolean PRO_B_FALSE = 0;
constexpr ProBoolean PRO_B_TRUE = 1;

// ---- Sizes of the host's fixed buffers (wide characters, terminator included) -----------------

constexpr int PRO_NAME_SIZE = 32;   // model, unit and appearance names
constexpr int PRO_LINE_SIZE = 81;   // message texts, view names
constexpr int PRO_PATH_SIZE = 260;  // file paths
constexpr int PRO_MAX_ASSEMBLY_LEVEL = 25;  // component identifiers in a component path

typedef ProWchar ProName[PRO_NAME_SIZE];
typedef ProWchar ProLine[PRO_LINE_SIZE];
typedef ProWchar ProPath[PRO_PATH_SIZE];

// ---- Geometry values ---------------------------------------------------------------------------

typedef double ProMatrix[4][4];  // row-major; points are row vectors (p' = p x M), row 3 translates
typedef double ProPoint3d[3];
typedef double ProVector[3];
typedef double ProUvParam[2];
typedef ProPoint3d ProOutline[2];  // two opposite corners of a box
typedef int ProTriangle[3];        // vertex numbers of one facet

// ---- Handles -----------------------------------------------------------------------------------
// Opaque pointers to the host's objects. The host may complete these structures with contents of
// its own; the plug-in only passes the pointers back.

typedef struct ProMdlObject* ProMdl;
// Solids, parts and assemblies are models; the host tells them apart with ProMdlTypeGet.
typedef ProMdl ProSolid;
typedef ProMdl ProPart;
typedef ProMdl ProAssembly;

typedef struct ProSurfaceObject* ProSurface;
typedef struct ProQuiltObject* ProQuilt;
typedef struct ProEdgeObject* ProEdge;
typedef struct ProContourObject* ProContour;
typedef struct ProViewObject* ProView;
typedef struct ProSelectionObject* ProSelection;
typedef struct ProTessellationObject* ProTessellation;
typedef struct ProTessellationInputObject* ProSurfaceTessellationInput;
typedef struct ProSelectionEnvObject* ProSelectionEnv;
typedef struct ProSelAppActionObject* ProSelAppAction;

// Host records that the plug-in reads only through host functions; the host defines them.
struct ProIntfData;          // interface data of a part: surfaces, quilts, edges
struct ProSurfacedata;       // one surface of the interface data, or of a surface's geometry data
struct ProSurfaceshapedata;  // the shape inside a ProSurfacedata
struct ProEdgedata;          // one edge of the interface data
struct ProCurvedata;         // a curve record (ProCurvedataAlloc / ProCurvedataMemoryFree)
struct ProSimprepdata;       // the data of a simplified representation
struct ProSelFunctions;      // selection callbacks of ProSelect (the plug-in passes none)
struct ProUvProjectionData;  // UV projection of a tessellation input (the plug-in passes none)

// ---- Enumerated values -------------------------------------------------------------------------
// The host's numbers for the values the plug-in acts on. Only these values are relied on.

typedef int ProType;
typedef int ProMdlType;
typedef int ProMode;
typedef int ProFeattype;
typedef int ProFeatStatus;
typedef int ProLayerType;
typedef int ProLayerItemStatus;
typedef int ProLayerDisplay;
typedef int ProUnitType;
typedef int ProEnttype;
typedef int ProContourTraversal;
typedef int ProEdgeDir;
typedef int ProSrftype;
typedef int ProSurfaceOrient;
typedef int ProSimprepActionType;
typedef int ProSurfaceTessellationProjection;
typedef int ProUIInputtype;

constexpr ProMdlType PRO_MDL_ASSEMBLY = 1;  // ProMdlTypeGet
constexpr ProMdlType PRO_MDL_PART = 2;
constexpr ProMode PRO_MODE_ASSEMBLY = 5;    // ProModeCurrentGet; 1 and 2 are the part modes

constexpr ProFeattype PRO_FEAT_COMPONENT = 1000;  // an assembly's component feature
constexpr ProFeatStatus PRO_FEAT_ACTIVE = 0;

constexpr ProLayerType PRO_LAYER_ITEM_FEATURE = 3;  // ProLayerItemInit item kinds
constexpr ProLayerType PRO_LAYER_ITEM_QUILT = 57;
constexpr ProLayerItemStatus PRO_LAYER_ITEM_HIDDEN = 0;  // ProLayeritemStatusGet
constexpr ProLayerItemStatus PRO_LAYER_ITEM_SHOWN = 1;

constexpr ProUnitType PRO_UNITTYPE_LENGTH = 0;
constexpr ProEnttype PRO_ENT_B_SPLINE = 19;  // ProCurvedataTypeGet

constexpr ProContourTraversal PRO_CONTOUR_TRAV_EXTERNAL = 1;
constexpr ProContourTraversal PRO_CONTOUR_TRAV_INTERNAL = -1;

constexpr ProSimprepActionType PRO_SIMPREP_REVERSE = 1;  // inverts the inherited inclusion
constexpr ProSimprepActionType PRO_SIMPREP_INCLUDE = 2;
constexpr ProSimprepActionType PRO_SIMPREP_EXCLUDE = 3;

constexpr ProUIInputtype PRO_UI_INPUT_TYPE_WSTRING = 1;  // input panel text as a wide string
constexpr ProUIInputtype PRO_UI_INPUT_TYPE_DOUBLE = 3;   // spin box value as a double

// ---- Records -----------------------------------------------------------------------------------

// An item of a model: a feature (an assembly's component is one), a geometry item, a layer, a
// layer item, a simplified representation.
struct ProModelitem {
  ProType type;
  int id;
  ProMdl owner;
};
typedef ProModelitem ProFeature;
typedef ProModelitem ProAsmcomp;
typedef ProModelitem ProGeomitem;
typedef ProModelitem ProLayer;
typedef ProModelitem ProLayerItem;
typedef ProModelitem ProSimprep;  // id -1: the host's master representation

// A component's path from its owner: the component feature identifiers from the owner down.
struct ProAsmcomppath {
  ProSolid owner;
  int comp_id_table[PRO_MAX_ASSEMBLY_LEVEL];
  int table_num;  // 0 to PRO_MAX_ASSEMBLY_LEVEL; 0 is the owner itself
};

// A model's version stamp: opaque to the plug-in, which keeps copies and compares them with
// ProVerstampEqual. A plain value, so keeping it needs no host memory.
struct ProWVerstamp {
  int words[4];
};

struct ProUnitsystem {
  ProMdl owner;
  ProName name;
};

struct ProUnititem {
  ProMdl owner;
  ProName name;  // "mm", "in", "m", ...
};

// Appearance of a surface (or of a model, or the host's default).
struct ProSurfaceAppearanceProps {
  ProName name;     // empty when no named appearance is applied
  double diffuse;   // diffuse coefficient
  double color[3];  // red, green, blue
};

// Texture images of a surface; narrow file names as the host keeps them.
struct ProSurfaceTextureProps {
  char bump_map[PRO_PATH_SIZE];   // bump-map image, not exported
  char color_map[PRO_PATH_SIZE];  // colour image: the texture the export reads
};

// Action of one item of a simplified representation: the action type and the host's data for
// it, 31 words in all, kept and copied whole.
struct ProSimprepAction {
  ProSimprepActionType type;
  int data[30];
};
static_assert(sizeof(ProSimprepAction) == 31 * 4, "a simplified representation action is 31 words");

// One item of a simplified representation's data.
struct ProSimprepitem {
  int item_path[PRO_MAX_ASSEMBLY_LEVEL];  // component identifiers from the representation's owner
  int path_size;                          // -1 when the item is not a component
  ProSimprepAction action;
};

// A contour of a surface record: its traversal and the identifiers of its edges.
struct ProContourdata {
  ProContourTraversal traversal;
  int* edge_ids;  // host array of int, belonging to the surface record
};

// A quilt of the interface data. The surface records belong to the interface data and stay
// readable until ProIntfDataFree; ProQuiltdataMemoryFree releases the quilt record and its array.
struct ProQuiltdata {
  int id;
  ProSurfacedata** surfaces;  // host array of surface record pointers
};

// Geometry data of a host surface (ProSurfaceDataGet), released with ProGeomitemdataFree.
struct ProGeomitemdata {
  ProType obj_type;
  ProSurfacedata* surface_data;
};

// How ProPartToProIntfData represents a part: three host switches and two host-defined words.
// The plug-in passes the switches on, on, off and both words 2.
struct ProOutputBrepRepresentation {
  unsigned int switch_0 : 1;
  unsigned int switch_1 : 1;
  unsigned int switch_2 : 1;
  int word_1;
  int word_2;
};
static_assert(sizeof(ProOutputBrepRepresentation) == 3 * 4, "the representation record is 3 words");

// Placement of a dialog control on the dialog's (or a layout's) grid.
struct ProUIGridopts {
  int row;
  int column;
  int horz_cells;
  int vert_cells;
  ProBoolean attach_top;
  ProBoolean attach_bottom;
  ProBoolean attach_left;
  ProBoolean attach_right;
  ProBoolean horz_resize;
  ProBoolean vert_resize;
  int top_offset;
  int bottom_offset;
  int left_offset;
  int right_offset;
};

// ---- Commands ----------------------------------------------------------------------------------

typedef int uiCmdCmdId;        // a command's identifier; the host numbers commands from 1
typedef int uiCmdPriority;
typedef int uiCmdAccessMode;
typedef int uiCmdAccessState;
struct uiCmdValue;

constexpr uiCmdAccessState ACCESS_AVAILABLE = 3;

// A command's action; answers 0.
typedef int (*uiCmdCmdActFn)(uiCmdCmdId command, uiCmdValue* value, void* push_data);
// Whether a command may run now.
typedef uiCmdAccessState (*uiCmdAccessFn)(uiCmdAccessMode mode);

// ---- Visit actions and filters -----------------------------------------------------------------

typedef ProError (*ProFeatureVisitAction)(ProFeature* feature, ProError status, ProAppData data);
typedef ProError (*ProFeatureFilterAction)(ProFeature* feature, ProAppData data);
typedef ProError (*ProSurfaceVisitAction)(ProSurface surface, ProError status, ProAppData data);
typedef ProError (*ProSurfaceFilterAction)(ProSurface surface, ProAppData data);
typedef ProError (*ProQuiltVisitAction)(ProQuilt quilt, ProError status, ProAppData data);
typedef ProError (*ProQuiltFilterAction)(ProQuilt quilt, ProAppData data);
typedef ProError (*ProContourVisitAction)(ProContour contour, ProError status, ProAppData data);
typedef ProError (*ProContourFilterAction)(ProContour contour, ProAppData data);
typedef ProError (*ProEdgeVisitAction)(ProEdge edge, ProError status, ProAppData data);
typedef ProError (*ProEdgeFilterAction)(ProEdge edge, ProAppData data);
typedef ProError (*ProSimprepVisitAction)(ProSimprep* rep, ProError status, ProAppData data);
typedef ProError (*ProSimprepFilterAction)(ProSimprep* rep, ProAppData data);
typedef ProError (*ProSimprepitemVisitAction)(ProSimprepitem* item, ProError status,
                                               ProAppData data);
typedef ProError (*ProSimprepitemFilterAction)(ProSimprepitem* item, ProAppData data);

// ---- Dialogs -----------------------------------------------------------------------------------

// A dialog control's action (button pressed, value changed): the dialog's name, the control's
// name and the application data given when the action was set.
typedef void (*ProUIAction)(const char* dialog, const char* component, ProAppData data);

// ---- Functions ---------------------------------------------------------------------------------

#define PRO_FUNCTION(ReturnType, Name, Parameters, Arguments) ReturnType Name Parameters;
#include "toolkit/pro_functions.def"
#undef PRO_FUNCTION
