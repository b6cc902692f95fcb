// The section editor's state: which section of the settings file the editor
// shows, whether its text was changed, and the label above it. The front end
// owns the widgets; it asks this record what to show and when to ask.
#pragma once

#include <cstddef>
#include <string>

#include "browser/ini_file.h"

constexpr const char* NO_SECTION_LOADED = "No section loaded.";

// "./orvex.ini:[NAME]", with "*" appended while modified.
std::string sectionLabel(const char* section, bool modified);

class SectionEditor {
  public:
    const std::string& currentSection() const { return currentSection_; }
    bool sectionModified() const { return sectionModified_; }
    bool sectionLoaded() const;
    // The label text: "No section loaded." or sectionLabel(...).
    std::string label() const;

    // Before loading another section: true when the user must be asked
    // saveQuestion() (Yes/No, flags 0x34) and, on Yes, save() first.
    bool mustAskToSave() const { return sectionModified_; }
    std::string saveQuestion() const;

    // Loads a section; returns the text for the edit box (LF line ends).
    // A ROM entry without a section gets its name and an empty text; the
    // program's own settings without their section leave the editor at "No
    // section loaded.". Clears the modified flag.
    std::string loadSection(const IniFile& ini, const char* name, bool romEntry);
    // The edit box's text changed (ignored while no section is loaded).
    void textEdited();
    // Saves `text` into the current section when modified; reloads the log
    // directory after saving the program's own settings. False when nothing
    // was saved because the write failed (the flag stays set).
    bool save(IniFile& ini, const std::string& text);

  private:
    std::string currentSection_ = NO_SECTION_LOADED;
    bool sectionModified_ = false;
};
