#include "handlers/win32/PropertyKeys.h"

namespace orv {
namespace {

// All of them belong to the summary information set.
const struct {
    const char* name;
    DWORD id;
} SummaryProperties[] = {
    {"System.Title", PIDSI_TITLE},
    {"System.Subject", PIDSI_SUBJECT},
    {"System.Author", PIDSI_AUTHOR},
    {"System.Keywords", PIDSI_KEYWORDS},
    {"System.Comment", PIDSI_COMMENTS},
    {"System.Document.RevisionNumber", PIDSI_REVNUMBER},
    {"System.ApplicationName", PIDSI_APPNAME},
};

}  // namespace

bool PropertyKeyOf(const std::string& name, PROPERTYKEY& key)
{
    for (const auto& property : SummaryProperties) {
        if (name == property.name) {
            key = {FMTID_SummaryInformation, property.id};
            return true;
        }
    }
    return false;
}

std::string PropertyNameOf(REFPROPERTYKEY key)
{
    if (!IsEqualGUID(key.fmtid, FMTID_SummaryInformation))
        return {};
    for (const auto& property : SummaryProperties)
        if (key.pid == property.id)
            return property.name;
    return {};
}

}  // namespace orv
