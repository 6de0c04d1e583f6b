#include "skinui/process_setup.h"

#include <fontconfig/fontconfig.h>

#include <clocale>

namespace SkinUI {
namespace {

// Binding "same" makes the alias as strong as the face itself, so the CJK face wins over
// fontconfig's Latin defaults for every character it has.
constexpr char kFontAliases[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <alias binding="same"><family>微软雅黑</family><prefer><family>WenQuanYi Micro Hei</family></prefer></alias>
  <alias binding="same"><family>Microsoft YaHei</family><prefer><family>WenQuanYi Micro Hei</family></prefer></alias>
</fontconfig>
)";

bool RegisterFontAliases() {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) {
        return false;
    }
    if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kFontAliases), FcTrue) ||
        !FcConfigSetCurrent(config)) {
        FcConfigDestroy(config);
        return false;
    }
    FcConfigDestroy(config);  // the current configuration keeps its own reference
    return true;
}

}  // namespace

bool PrepareProcess() {
    static const bool prepared = [] {
        bool locale = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
        bool fonts = RegisterFontAliases();
        return locale && fonts;
    }();
    return prepared;
}

}  // namespace SkinUI
