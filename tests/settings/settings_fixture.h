// A temporary directory with ZLGEN_INI pointing into it, restored afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "common/temporary_folder.h"

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("ZLGEN_INI")) m_oldIni = old;
        m_path = (m_dir / "ZLGEN.INI").string();
        ::setenv("ZLGEN_INI", m_path.c_str(), 1);
    }
    void TearDown() override {
        if (m_oldIni) {
            ::setenv("ZLGEN_INI", m_oldIni->c_str(), 1);
        } else {
            ::unsetenv("ZLGEN_INI");
        }
    }

    void writeIni(const std::string& content) const { zl::testing::writeFile(m_path, content); }
    std::string readIni() const { return zl::testing::readFile(m_path); }

    zl::testing::TemporaryFolder m_folder;
    std::filesystem::path m_dir = m_folder.path();
    std::string m_path;
    std::optional<std::string> m_oldIni;
};
