#pragma once
// The multi-language texts that "%{n}" tokens in control texts refer to, by id.

#include <map>
#include <string>

namespace SkinUI {

class LanguageTexts {
public:
    // The process-wide table the layouts fill.
    static LanguageTexts& Process();

    void Add(int id, std::wstring text) { texts_[id] = std::move(text); }
    const std::wstring* Find(int id) const;
    void Clear() { texts_.clear(); }

private:
    std::map<int, std::wstring> texts_;
};

}  // namespace SkinUI
