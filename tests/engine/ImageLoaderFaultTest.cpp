// Loading faults on the decoding threads: an allocation that fails there
// (std::bad_alloc) reaches the caller as a failed image with its reason and
// becomes an empty texture with a warning, as a corrupt file does, instead
// of ending the program. This binary links the allocation counter, whose
// operator new can make large allocations fail on purpose.
#include <gtest/gtest.h>

#include <string>

#include "AllocationCounter.h"
#include "GlTest.h"
#include "TestFiles.h"
#include "engine/ImageLoader.h"
#include "engine/Texture.h"

TEST(ImageLoaderFault, running_out_of_memory_on_a_worker_gives_a_failed_image)
{
    TempDir dir;
    // Reading a file of 8 MB grows a buffer past 4 MB: that allocation fails.
    writeFile(dir.path("big.png"), std::string(8 << 20, 'x'));
    writeSolidPng(dir.path("small.png"), 4, 4, 1, 2, 3);
    failAllocationsFrom(4 << 20);
    ImageLoader loader({dir.path("big.png"), dir.path("small.png"), dir.path("big.png")}, 2);
    const Image big = loader.take(0);
    const Image small = loader.take(1);
    const Image again = loader.take(2);
    failAllocationsFrom(0);
    EXPECT_FALSE(big.ok());
    EXPECT_EQ(big.error, "out of memory");
    EXPECT_TRUE(big.bounds.empty());
    EXPECT_TRUE(small.ok()) << small.error;
    EXPECT_EQ(again.error, "out of memory");
}

TEST(ImageLoaderFault, an_image_that_ran_out_of_memory_becomes_an_empty_texture_with_a_warning)
{
    REQUIRE_GL();
    TempDir dir;
    writeFile(dir.path("big.png"), std::string(8 << 20, 'x'));
    failAllocationsFrom(4 << 20);
    ImageLoader loader({dir.path("big.png")}, 1);
    Image image = loader.take(0);
    failAllocationsFrom(0);
    testing::internal::CaptureStderr();
    const Texture texture(dir.path("big.png").c_str(), image);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(texture.width, 0);
    EXPECT_TRUE(texture.bounds.empty());
    EXPECT_EQ(err, "warning: image " + dir.path("big.png") + ": out of memory\n");
}

TEST(ImageLoaderFault, a_reload_that_runs_out_of_memory_keeps_the_old_picture)
{
    REQUIRE_GL();
    TempDir dir;
    writeSolidPng(dir.path("picture.png"), 4, 4, 1, 2, 3);
    const Texture texture(dir.path("picture.png").c_str());
    writeFile(dir.path("picture.png"), std::string(8 << 20, 'x'));
    failAllocationsFrom(4 << 20);
    std::string error;
    const bool reloaded = Texture::reload(texture.id, dir.path("picture.png").c_str(), error);
    failAllocationsFrom(0);
    EXPECT_FALSE(reloaded);
    EXPECT_EQ(error, "out of memory");
    EXPECT_EQ(Texture::find(texture.id)->width, 4) << "the old picture stays";
}
