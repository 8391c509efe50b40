#include "imagefile/image_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "image_checks.h"
#include "image_file_makers.h"
#include "imagefile/bmp_file.h"
#include "imagefile/image_bytes.h"
#include "imagefile/pcx_file.h"
#include "imagefile/png_file.h"
#include "support/full_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using test::Bytes;

void saveBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST(ImageFile, DispatchesOnTheEndingInAnyCase) {
    test::TempDir dir;
    const IndexedImage image = test::patternImage(6, 5, 4);
    saveBytes(dir.file("a.BMP"), encodeBmp(image, 6, 5));
    saveBytes(dir.file("b.Pcx"), encodePcx(image, 6, 5));
    saveBytes(dir.file("c.pNG"), encodePng(image, 6, 5));
    for (const char* name : {"a.BMP", "b.Pcx", "c.pNG"}) {
        IndexedImage back;
        ASSERT_EQ(readImageFile(back, dir.file(name), 16, 6, 5), ImageStatus::Ok) << name;
        EXPECT_EQ(test::pixelColours(back), test::pixelColours(image)) << name;
        // The reader's own status comes through unchanged.
        EXPECT_EQ(readImageFile(back, dir.file(name), 3, 6, 5), ImageStatus::TooManyColours);
        EXPECT_EQ(readImageFile(back, dir.file(name), 16, 5, 5), ImageStatus::TooLarge);
    }
    // The content must match the ending: a PNG named .bmp is no bitmap.
    saveBytes(dir.file("png.bmp"), encodePng(image, 6, 5));
    IndexedImage back;
    EXPECT_EQ(readImageFile(back, dir.file("png.bmp"), 16, 6, 5), ImageStatus::NotAnImage);
}

TEST(ImageFile, OtherEndingsAreRefusedWithoutOpening) {
    test::TempDir dir;
    const IndexedImage image = test::patternImage(2, 2, 2);
    saveBytes(dir.file("picture.gif"), encodePng(image, 2, 2));
    saveBytes(dir.file("png"), encodePng(image, 2, 2));
    IndexedImage back;
    EXPECT_EQ(readImageFile(back, dir.file("picture.gif"), 16, 8, 8), ImageStatus::NotAnImage);
    EXPECT_EQ(readImageFile(back, dir.file("png"), 16, 8, 8), ImageStatus::NotAnImage);
    // Files that do not exist: refused by the ending, or unreadable.
    EXPECT_EQ(readImageFile(back, dir.file("missing.jpeg"), 16, 8, 8), ImageStatus::NotAnImage);
    EXPECT_EQ(readImageFile(back, "", 16, 8, 8), ImageStatus::NotAnImage);
    EXPECT_EQ(readImageFile(back, dir.file("x.png.gif"), 16, 8, 8), ImageStatus::NotAnImage);
    for (const char* name : {"missing.png", "missing.bmp", "missing.pcx"}) {
        EXPECT_EQ(readImageFile(back, dir.file(name), 16, 8, 8), ImageStatus::CannotRead) << name;
    }
}

TEST(ImageFile, ReadOnlyFilesAreReadAndFoldersAreNot) {
    test::TempDir dir;
    const IndexedImage image = test::patternImage(3, 3, 3);
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"ro.bmp", encodeBmp(image, 3, 3)},
        {"ro.pcx", encodePcx(image, 3, 3)},
        {"ro.png", encodePng(image, 3, 3)},
    };
    for (const auto& [name, bytes] : files) {
        const auto path = dir.file(name);
        saveBytes(path, bytes);
        std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::others_read);
        IndexedImage back;
        EXPECT_EQ(readImageFile(back, path, 16, 3, 3), ImageStatus::Ok) << name;
    }
    std::filesystem::create_directory(dir.file("folder.png"));
    IndexedImage back;
    EXPECT_EQ(readImageFile(back, dir.file("folder.png"), 16, 3, 3), ImageStatus::CannotRead);
}

TEST(ImageFile, FilesTooLargeToBeAnImageAreNotLoaded) {
    test::TempDir dir;
    const auto path = dir.file("huge.bmp");
    saveBytes(path, encodeBmp(test::patternImage(2, 2, 2), 2, 2));
    // A sparse file: no disk space is used.
    std::filesystem::resize_file(path, kMaxImageFileBytes + 1);
    IndexedImage back;
    EXPECT_EQ(readImageFile(back, path, 16, 8, 8), ImageStatus::CannotRead);
    std::filesystem::resize_file(path, kMaxImageFileBytes);
    EXPECT_EQ(readImageFile(back, path, 16, 8, 8), ImageStatus::Ok);
}

TEST(ImageFile, WritersReportFailedWrites) {
    const IndexedImage image = test::patternImage(40, 40, 16);
    if (const auto full = test::fullFile()) {
        EXPECT_EQ(writeBmp(image, *full, 40, 40), ImageStatus::CannotWrite);
        EXPECT_EQ(writePcx(image, *full, 40, 40), ImageStatus::CannotWrite);
        EXPECT_EQ(writePng(image, *full, 40, 40), ImageStatus::CannotWrite);
    }
    test::TempDir dir;
    const auto nowhere = dir.file("no-such-folder") / "out";
    EXPECT_EQ(writeBmp(image, nowhere, 40, 40), ImageStatus::CannotWrite);
    EXPECT_EQ(writePcx(image, nowhere, 40, 40), ImageStatus::CannotWrite);
    EXPECT_EQ(writePng(image, nowhere, 40, 40), ImageStatus::CannotWrite);
    EXPECT_EQ(writePng(image, dir.path(), 40, 40), ImageStatus::CannotWrite);
    // Writing over an existing file replaces all of it.
    const auto path = dir.file("over.bmp");
    saveBytes(path, Bytes(10000, 0xAA));
    ASSERT_EQ(writeBmp(image, path, 2, 2), ImageStatus::Ok);
    EXPECT_EQ(std::filesystem::file_size(path), 70u);
}

TEST(ImageFile, StatusNumbersAreFixed) {
    EXPECT_EQ(statusNumber(ImageStatus::Ok), 0);
    EXPECT_EQ(statusNumber(ImageStatus::TooManyColours), 1);
    EXPECT_EQ(statusNumber(ImageStatus::TooLarge), 2);
    EXPECT_EQ(statusNumber(ImageStatus::CannotRead), 3);
    EXPECT_EQ(statusNumber(ImageStatus::NotAnImage), 4);
    EXPECT_EQ(statusNumber(ImageStatus::CannotWrite), 1);
}

}  // namespace
}  // namespace morvik
