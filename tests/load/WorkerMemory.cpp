#include "load/WorkerMemory.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace loadtest {

std::map<pid_t, WorkerMemory> ReadMemoryLog(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    std::map<pid_t, WorkerMemory> workers;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        long pid = 0;
        size_t filesDone = 0;
        long residentKib = 0;
        std::string rest;
        if (!(fields >> pid >> filesDone >> residentKib) || fields >> rest) {
            throw std::runtime_error(path + ": not a memory line: \"" + line + "\"");
        }
        std::vector<long>& figures = workers[static_cast<pid_t>(pid)].residentKib;
        if (filesDone != figures.size() + 1) {
            throw std::runtime_error(path + ": process " + std::to_string(pid) + " counts " +
                                     std::to_string(filesDone) + " after " + std::to_string(figures.size()));
        }
        figures.push_back(residentKib);
    }
    return workers;
}

}  // namespace loadtest
