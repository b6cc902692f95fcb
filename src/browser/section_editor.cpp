#include "browser/section_editor.h"

#include <cstdio>

std::string sectionLabel(const char* section, bool modified) {
    std::string label = "./orvex.ini:[";
    label += section;
    label += modified ? "]*" : "]";
    return label;
}

bool SectionEditor::sectionLoaded() const {
    return currentSection_ != NO_SECTION_LOADED;
}

std::string SectionEditor::label() const {
    return sectionLoaded() ? sectionLabel(currentSection_.c_str(), sectionModified_)
                           : std::string(NO_SECTION_LOADED);
}

std::string SectionEditor::saveQuestion() const {
    return "You have made changes to the \"" + currentSection_ +
           "\" section\nin the .ini file, do you wish to save them?";
}

std::string SectionEditor::loadSection(const IniFile& ini, const char* name, bool romEntry) {
    currentSection_ = NO_SECTION_LOADED;
    sectionModified_ = false;
    std::string text;
    if (ini.sectionTextLength(name) != 0) {
        currentSection_ = name;
        const std::string stored = ini.readSectionText(name);
        for (size_t i = 0; i < stored.size(); ++i)
            if (stored[i] != '\r' || i + 1 == stored.size() || stored[i + 1] != '\n')
                text += stored[i];
    } else if (romEntry) {
        currentSection_ = name;
    }
    return text;
}

void SectionEditor::textEdited() {
    if (sectionLoaded()) sectionModified_ = true;
}

bool SectionEditor::save(IniFile& ini, const std::string& text) {
    if (!sectionModified_) return true;
    if (!ini.writeSection(currentSection_.c_str(), text.data(), text.size())) return false;
    sectionModified_ = false;
    if (currentSection_ == INI_SETTINGS_SECTION) reloadLogDir(ini);
    return true;
}
