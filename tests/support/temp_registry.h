// A settings store in a fresh temporary folder for one test: $GORV_REGISTRY points at it while the
// object lives, so tests never touch a user's real settings.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace regtest {

class TempRegistry {
public:
    TempRegistry() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/gorv-reg-XXXXXX";
        if (!::mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        ::chmod(pattern.c_str(), 0755);
        m_dir = pattern;
        m_path = m_dir + "/registry.db";
        ::setenv("GORV_REGISTRY", m_path.c_str(), 1);
    }
    ~TempRegistry() {
        ::unsetenv("GORV_REGISTRY");
        std::system(("chmod -R u+w '" + m_dir + "' 2>/dev/null; rm -rf '" + m_dir + "'").c_str());
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::string& dir() const { return m_dir; }
    const std::string& path() const { return m_path; }

private:
    std::string m_dir, m_path;
};

inline bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace regtest
