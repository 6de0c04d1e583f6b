#include "skinui/language_texts.h"

namespace SkinUI {

LanguageTexts& LanguageTexts::Process() {
    static LanguageTexts texts;
    return texts;
}

const std::wstring* LanguageTexts::Find(int id) const {
    auto it = texts_.find(id);
    return it == texts_.end() ? nullptr : &it->second;
}

}  // namespace SkinUI
