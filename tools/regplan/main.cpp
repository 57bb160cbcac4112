// regplan [--32 | --user] [PATH]: the module's registration plan as the installer's
// registry rows, a WiX include file, so that the package writes exactly what
// DllRegisterServer writes. PATH is the installed file's ("[#orvshell.dll]"); --32
// gives the rows of the 32-bit module, --user those of DllInstall's registration for
// one user.
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "PlanRecorder.h"
#include "module/win32/ModuleRegistration.h"
#include "registry/PerUserKeyStore.h"

namespace {

using namespace orv;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Text as an XML attribute; brackets are the installer's own, escaped as it escapes them.
std::string Attribute(const std::string& text, bool formatted)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '[': out += formatted ? "[\\[]" : "["; break;
        case ']': out += formatted ? "[\\]]" : "]"; break;
        default: out += c;
        }
    }
    return out;
}

const char* RootName(RegistryRoot root)
{
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return "HKCR";
    case RegistryRoot::CurrentUser:
        return "HKCU";
    default:
        return "HKLM";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string option = argc > 1 && argv[1][0] == '-' ? argv[1] : "";
    const int first = option.empty() ? 1 : 2;
    const std::string modulePath = argc > first ? argv[first] : "[#orvshell.dll]";
    PlanRecorder recorder;
    PerUserKeyStore user(recorder);
    RegistryAccess registry(option == "--user" ? static_cast<KeyStore*>(&user) : &recorder);
    RegisterModule(registry, modulePath.c_str(), option == "--32");

    // Each value once, with the data written last, in the order first written; keys
    // made without any value or subkey are made as keys ("*": made on install, removed
    // on uninstall).
    std::map<std::string, size_t> written;
    std::vector<std::string> rows;
    for (const PlanRecorder::Step& step : recorder.Steps()) {
        std::string where = std::string(RootName(step.root)) + '\\' + Lower(step.key);
        if (step.kind == PlanRecorder::Step::Kind::Key) {
            auto key = recorder.OpenKey(step.root, step.key.c_str());
            if (key && key->IsEmpty() && written.emplace(where, rows.size()).second)
                rows.push_back(std::string("  <RegistryValue Root=\"") + RootName(step.root) + "\" Key=\"" +
                               Attribute(step.key, true) + "\" Name=\"*\" Type=\"string\" Value=\"\"/>");
            continue;
        }
        if (step.kind != PlanRecorder::Step::Kind::Value)
            continue;
        std::string value;
        if (step.type == ValueString) {
            std::string data(step.data.begin(), step.data.end());
            data.resize(std::strlen(data.c_str()));
            value = data == modulePath ? data : Attribute(data, true);
        } else {
            std::fprintf(stderr, "regplan: a value of type %u under %s\n", step.type, step.key.c_str());
            return 1;
        }
        std::string row = std::string("  <RegistryValue Root=\"") + RootName(step.root) + "\" Key=\"" +
                          Attribute(step.key, true) + "\"" +
                          (step.valueName.empty() ? "" : " Name=\"" + Attribute(step.valueName, true) + "\"") +
                          " Type=\"string\" Value=\"" + value + "\"/>";
        auto [found, added] = written.emplace(where + '|' + Lower(step.valueName), rows.size());
        if (added)
            rows.push_back(row);
        else
            rows[found->second] = row;
    }
    std::puts("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Include>");
    for (const std::string& row : rows)
        std::puts(row.c_str());
    std::puts("</Include>");
    return 0;
}
