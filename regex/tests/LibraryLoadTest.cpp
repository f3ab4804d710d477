// Loads the built libSarnik.so from the test's own folder, as the program does, and calls every
// export through dlsym. This test links nothing of the library.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "exported_symbols.h"

namespace {

using SearchFn = int32_t (*)(const char*, const char*, int32_t*);
using MatchFn = int32_t (*)(const char*, const char*);
using SubFn = int32_t (*)(const char*, const char*, char*);
using SubSizedFn = int32_t (*)(const char*, const char*, char*, int32_t);

class LoadedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libSarnik.so";
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle_) dlclose(handle_);
    }
    template <typename Fn>
    Fn get(const char* name) {
        void* sym = dlsym(handle_, name);
        EXPECT_NE(sym, nullptr) << name;
        return reinterpret_cast<Fn>(sym);
    }
    void* handle_ = nullptr;
};

TEST_F(LoadedLibrary, EveryExportAnswers) {
    auto research = get<SearchFn>("RESearch");
    auto matchFn = get<MatchFn>("match");
    auto subFn = get<SubFn>("sub");
    auto gsubFn = get<SubFn>("gsub");
    auto subSized = get<SubSizedFn>("subSized");
    auto gsubSized = get<SubSizedFn>("gsubSized");
    ASSERT_TRUE(research && matchFn && subFn && gsubFn && subSized && gsubSized);

    int32_t len = -5;
    EXPECT_EQ(research("abcabc", "bc", &len), 2);
    EXPECT_EQ(len, 2);
    EXPECT_EQ(research("abcabc", "(a", &len), -1);
    EXPECT_EQ(len, 2);
    EXPECT_EQ(matchFn("x\x95\x5C,", ","), 4);

    char buf[32] = "abcb";
    EXPECT_EQ(subFn("b", "[&]", buf), 1);
    EXPECT_STREQ(buf, "a[b]cb");
    std::strcpy(buf, "abcb");
    EXPECT_EQ(gsubFn("b", "[&]", buf), 2);
    EXPECT_STREQ(buf, "a[b]c[b]");

    char small[8] = "abcb";
    EXPECT_EQ(gsubSized("b", "[&]", small, sizeof small), -2);
    EXPECT_STREQ(small, "abcb");
    EXPECT_EQ(subSized("b", "[&]", small, sizeof small), 1);
    EXPECT_STREQ(small, "a[b]cb");
}

TEST(LibraryFile, ExportsTheCFunctionsAndNothingElse) {
    // Neither the engine's classes nor the standard library's templates it instantiates.
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libSarnik.so";
    EXPECT_EQ(murtesk::elf::ExportedSymbols(path.string()),
              (std::set<std::string>{"RESearch", "gsub", "gsubSized", "match", "sub", "subSized"}));
}

}  // namespace
