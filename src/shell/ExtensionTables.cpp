#include "shell/ExtensionTables.h"

namespace orv {
namespace {

constexpr ExtensionEntry planRows[] = {
    {170, ".pln"}, {170, ".2dl"}, {169, ".pla"}, {172, ".plc"}, {173, ".pca"},
    {171, ".plp"}, {175, ".ppa"}, {170, ".bpn"}, {172, ".bpc"}, {171, ".bpp"},
};
constexpr ExtensionEntry libPartRows[] = {
    {153, ".qxm"}, {155, ".dor"}, {156, ".win"}, {158, ".rsm"}, {154, ".lmp"},
    {159, ".ism"}, {0, ".esm"},   {165, ".qps"}, {160, ".wps"}, {161, ".cps"},
    {162, ".sps"}, {163, ".rps"}, {164, ".fps"},
};
constexpr ExtensionEntry qdlRows[] = {{152, ".qdl"}};
constexpr ExtensionEntry modulRows[] = {{166, ".mod"}};
constexpr ExtensionEntry sfoldRows[] = {{167, ".sfk"}, {168, ".lay"}};
constexpr ExtensionEntry infoRows[] = {{150, ".qdd"}, {151, ".qpd"}};
constexpr ExtensionEntry infoScriptRows[] = {{174, ".vec"}};

}  // namespace

const ExtensionTable PlanExtensions{planRows, true};
const ExtensionTable LibPartExtensions{libPartRows, true};
const ExtensionTable QdlExtensions{qdlRows, false};
const ExtensionTable ModulExtensions{modulRows, true};
const ExtensionTable SfoldExtensions{sfoldRows, false};
const ExtensionTable InfoExtensions{infoRows, false};
const ExtensionTable InfoScriptExtensions{infoScriptRows, false};

const std::array<const ExtensionTable*, 7> AllExtensionTables = {
    &PlanExtensions,  &LibPartExtensions, &QdlExtensions,        &ModulExtensions,
    &SfoldExtensions, &InfoExtensions,    &InfoScriptExtensions,
};

}  // namespace orv
