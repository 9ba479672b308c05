#pragma once
// Memory figures of this process from /proc/self/status, for the encode benches.

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// A "Vm...:" field of /proc/self/status in KB ("VmRSS:", "VmHWM:"); 0 when absent.
inline long statusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::strlen(field), nullptr, 10);
    return 0;
}
