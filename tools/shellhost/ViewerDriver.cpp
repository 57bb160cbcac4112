#include "ViewerDriver.h"

#include <map>

namespace orv::host {
namespace {

// Thread timers carry no context: the driver of each, by timer id.
std::map<UINT_PTR, ViewerDriver*> drivers;

}  // namespace

ViewerDriver::ViewerDriver(std::vector<Step> steps, UINT delay) : steps(std::move(steps)), delay(delay)
{
}

ViewerDriver::~ViewerDriver()
{
    if (timer != 0) {
        KillTimer(nullptr, timer);
        drivers.erase(timer);
    }
}

HRESULT ViewerDriver::Show(IFileViewerA* viewer, FVSHOWINFO& info)
{
    Schedule();
    HRESULT result = viewer->Show(&info);
    if (timer != 0) {
        KillTimer(nullptr, timer);
        drivers.erase(timer);
        timer = 0;
    }
    return result;
}

void ViewerDriver::Schedule()
{
    if (next >= steps.size())
        return;
    timer = SetTimer(nullptr, 0, delay, OnTimer);
    drivers[timer] = this;
}

void CALLBACK ViewerDriver::OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    auto found = drivers.find(timer);
    if (found == drivers.end())
        return;
    ViewerDriver* driver = found->second;
    drivers.erase(found);
    driver->timer = 0;
    const Step& step = driver->steps[driver->next++];
    driver->Schedule();
    step(ViewerFrame());
}

HWND ViewerFrame()
{
    return FindWindowA("OVVIEWER_FRAME", nullptr);
}

}  // namespace orv::host
