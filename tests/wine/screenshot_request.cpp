#include "tests/wine/screenshot_request.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace drvsweep::testing {

namespace {

// Wine's X11 driver keeps the X window of each top-level window in this property.
constexpr wchar_t kWineXWindowProperty[] = L"__wine_x11_whole_window";

std::string WindowsPathOfHostPath(const std::string& hostPath) {
    std::string path = "Z:" + hostPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

}  // namespace

bool TakeScreenshot(HWND window, const std::string& name) {
    const char* handshake = std::getenv("DRVSWEEP_HANDSHAKE");
    if (handshake == nullptr) {
        return true;
    }
    // Shown active, as the user sees the window they work in.
    SetForegroundWindow(window);
    const std::string folder = WindowsPathOfHostPath(handshake) + "\\";
    const auto xWindow = reinterpret_cast<std::uintptr_t>(GetPropW(window, kWineXWindowProperty));
    {
        std::ofstream request(folder + name + ".tmp");
        request << (xWindow != 0 ? std::to_string(xWindow) : std::string("root")) << "\n";
    }
    // The script takes a request only once it is whole.
    MoveFileA((folder + name + ".tmp").c_str(), (folder + name + ".request").c_str());
    const std::string done = folder + name + ".done";
    for (int waited = 0; waited < 20000; waited += 50) {
        if (GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        Sleep(50);
    }
    return false;
}

}  // namespace drvsweep::testing
