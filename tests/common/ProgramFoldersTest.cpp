#include "common/ProgramFolders.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

struct ChoiceRow {
    const char* name;
    bool programDirWritable;
    std::optional<QString> dataDir;
    TFolderLayout layout;
    QString config;
    QString data;
};

TEST(ProgramFoldersTest, ChoiceByProgramFolderAndDataDir) {
    const QString program = "/opt/krv/bin", configHome = "/home/u/.config", dataHome = "/home/u/.local/share";
    const ChoiceRow rows[] = {
        {"writable program folder: beside the executable",
         true,
         {},
         TFolderLayout::Portable,
         program,
         program},
        {"read-only program folder: the XDG folders",
         false,
         {},
         TFolderLayout::PerUser,
         "/home/u/.config/krv-monitor",
         "/home/u/.local/share/krv-monitor"},
        {"--data-dir over a writable program folder", true, "/srv/krv/a", TFolderLayout::DataDir,
         "/srv/krv/a", "/srv/krv/a"},
        {"--data-dir over a read-only one, made clean", false, "/srv/krv/./b/", TFolderLayout::DataDir,
         "/srv/krv/b", "/srv/krv/b"},
    };
    for (const ChoiceRow& row : rows) {
        SCOPED_TRACE(row.name);
        const TFolderChoice choice =
            ChooseFolders({program, row.programDirWritable, row.dataDir, configHome, dataHome});
        EXPECT_EQ(choice.Layout, row.layout);
        EXPECT_EQ(choice.Folders.Config, row.config);
        EXPECT_EQ(choice.Folders.Data, row.data);
        EXPECT_EQ(choice.Folders.RecordDir(), row.data + "/Record");
    }
}

TEST(ProgramFoldersTest, ProgramFolderIsWritableOnlyOutsideUsr) {
    QTemporaryDir dir;
    EXPECT_TRUE(ProgramDirWritable(dir.path()));
    EXPECT_FALSE(ProgramDirWritable(dir.filePath("missing")));
    // Root can write /usr/bin, but an installed program must not add its files there.
    EXPECT_FALSE(ProgramDirWritable("/usr/bin"));
    EXPECT_FALSE(ProgramDirWritable("/usr/local/bin/../bin"));
}

TEST(ProgramFoldersTest, PreparingCreatesTheChosenFoldersOrSaysWhyNot) {
    QTemporaryDir dir;
    const TFolderChoice perUser{TFolderLayout::PerUser,
                                {dir.filePath("config/krv-monitor"), dir.filePath("data/krv-monitor")}};
    EXPECT_EQ(PrepareFolders(perUser), std::nullopt);
    EXPECT_TRUE(QFileInfo(perUser.Folders.Config).isDir());
    EXPECT_TRUE(QFileInfo(perUser.Folders.Data).isDir());
    EXPECT_EQ(PrepareFolders(perUser), std::nullopt) << "folders that exist already";

    // Under a plain file no folder can be made, not even by root.
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const TFolderChoice given{TFolderLayout::DataDir, dir.filePath("file/records")};
    const std::optional<QString> refusal = PrepareFolders(given);
    ASSERT_TRUE(refusal);
    EXPECT_THAT(refusal->toStdString(), ::testing::HasSubstr(dir.filePath("file/records").toStdString()));

    // The portable layout uses the program's folder as it is.
    EXPECT_EQ(PrepareFolders({TFolderLayout::Portable, dir.filePath("not/made")}), std::nullopt);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("not")));
}

} // namespace
