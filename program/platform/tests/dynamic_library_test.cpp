// The loader binds functions of a library beside the executable, and fails calls cleanly when it cannot.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "dynamic_library.h"

namespace murtesk::platform {
namespace {

using Add = int32_t(int32_t, int32_t);

TEST(DynamicLibrary, BindsByNameFromTheExecutablesFolder)
{
    DynamicLibrary lib("libMurteskLoaderProbe.so");
    LibraryFunction<Add> add(lib, "ProbeAdd", -1);
    EXPECT_EQ(add(2, 40), 42);
    EXPECT_TRUE(add.available());
    EXPECT_EQ(lib.symbol("ProbeAdd"), lib.symbol("ProbeAdd"));
}

TEST(DynamicLibrary, MissingFunctionFailsThatCallOnly)
{
    DynamicLibrary lib("libMurteskLoaderProbe.so");
    LibraryFunction<Add> missing(lib, "NoSuchFunction", -7);
    LibraryFunction<Add> add(lib, "ProbeAdd", -1);
    EXPECT_EQ(missing(1, 2), -7);
    EXPECT_FALSE(missing.available());
    EXPECT_FALSE(lib.lastError().empty());
    EXPECT_EQ(add(1, 2), 3);
}

TEST(DynamicLibrary, MissingLibraryFailsEveryCall)
{
    DynamicLibrary lib("libNoSuchMurteskLibrary.so");
    LibraryFunction<Add> add(lib, "ProbeAdd", 0);
    EXPECT_EQ(add(1, 2), 0);
    EXPECT_EQ(add(1, 2), 0);
    EXPECT_NE(lib.lastError().find("libNoSuchMurteskLibrary.so"), std::string::npos);
}

TEST(DynamicLibrary, OnlyBareFileNamesAreLoaded)
{
    // A path would load something other than the program's own library.
    DynamicLibrary lib("../bin/libMurteskLoaderProbe.so");
    EXPECT_EQ(lib.symbol("ProbeAdd"), nullptr);
}

TEST(DynamicLibrary, FirstCallsFromSeveralThreadsBindOnce)
{
    DynamicLibrary lib("libMurteskLoaderProbe.so");
    LibraryFunction<Add> add(lib, "ProbeAdd", -1);
    std::vector<std::thread> threads;
    std::vector<int32_t> results(8);
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([&, i] { results[i] = add(i, 1); });
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(results[i], i + 1);
}

TEST(DynamicLibrary, GivenFolderIsUsedInsteadOfTheExecutables)
{
    DynamicLibrary elsewhere("libMurteskLoaderProbe.so", "/nonexistent-folder");
    EXPECT_EQ(elsewhere.symbol("ProbeAdd"), nullptr);
}

}  // namespace
}  // namespace murtesk::platform
