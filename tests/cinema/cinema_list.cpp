#include "cinema_list.h"

#include <sstream>

namespace cinema {

namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string word;
    while (in >> word)
        out.push_back(word);
    return out;
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool parseRun(const std::string& line, CinemaRun& run, std::string& error) {
    const size_t bar = line.find('|');
    const std::vector<std::string> what = words(line.substr(0, bar));
    if (what.size() < 3) {
        error = "a run needs a name, a source and a frame count";
        return false;
    }
    run.name = what[0];
    run.source = what[1];
    if (!startsWith(run.source, "shared/") && !startsWith(run.source, "program/") &&
        run.source != "demo") {
        error = "unknown source " + run.source;
        return false;
    }
    char* end = nullptr;
    run.frames = std::strtoull(what[2].c_str(), &end, 10);
    if (*end != 0 || run.frames == 0 || what[2][0] == '-') {
        error = "bad frame count " + what[2];
        return false;
    }
    run.checks = {"picture"};
    for (size_t i = 3; i < what.size(); ++i) {
        const std::string& o = what[i];
        run.options.push_back(o);
        if (startsWith(o, "checks=")) {
            run.checks.clear();
            std::istringstream list(o.substr(7));
            std::string check;
            while (std::getline(list, check, ',')) {
                if (check != "picture" && check != "sound" && check != "memory") {
                    error = "unknown check " + check;
                    return false;
                }
                run.checks.push_back(check);
            }
        } else if (startsWith(o, "input=")) {
            run.input = o.substr(6);
        } else if (o == "machine=complete") {
            run.completeMachine = true;
        } else if (o == "hle") {
            run.hle = true;
        } else if (o == "dma-boot") {
            run.dmaBoot = true;
        } else {
            error = "unknown option " + o;
            return false;
        }
    }
    if (bar == std::string::npos) return true;
    for (const std::string& result : words(line.substr(bar + 1))) {
        const size_t eq = result.find('=');
        if (eq == std::string::npos || eq == 0) {
            error = "bad result " + result;
            return false;
        }
        run.baseline[result.substr(0, eq)] = result.substr(eq + 1);
    }
    return true;
}

} // namespace

bool parseCinemaList(const std::string& text, CinemaList& list, std::string& error) {
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        list.lines.push_back(line);
        const std::vector<std::string> w = words(line);
        if (w.empty() || w[0][0] == '#') continue;
        CinemaRun run;
        if (!parseRun(line, run, error)) {
            error = "line " + std::to_string(list.lines.size()) + ": " + error;
            return false;
        }
        for (const CinemaRun& other : list.runs) {
            if (other.name == run.name) {
                error = "line " + std::to_string(list.lines.size()) + ": the name " + run.name +
                        " is used twice";
                return false;
            }
        }
        list.runs.push_back(run);
        list.runLine.push_back(list.lines.size() - 1);
    }
    return true;
}

std::string formatRunLine(const CinemaRun& run, const std::map<std::string, std::string>& results) {
    // The name in a column of its own, as the list is written by hand.
    std::string line = run.name +
                       std::string(run.name.size() < 20 ? 20 - run.name.size() : 1, ' ') +
                       run.source + " " + std::to_string(run.frames);
    for (const std::string& o : run.options)
        line += " " + o;
    line += " |";
    // The end first, then the checks in their order.
    if (auto it = results.find("end"); it != results.end()) line += " end=" + it->second;
    for (const std::string& check : run.checks)
        if (auto it = results.find(check); it != results.end())
            line += " " + check + "=" + it->second;
    return line;
}

std::string formatCinemaList(const CinemaList& list, const std::vector<std::string>& newLines) {
    std::vector<std::string> lines = list.lines;
    for (size_t i = 0; i < list.runs.size() && i < newLines.size(); ++i)
        lines[list.runLine[i]] = newLines[i];
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

} // namespace cinema
