// The File menu on the headless host: its items, the export and import of
// the catalogue through the folder chooser and the progress dialog, with
// what the window shows saved first and shown again afterwards, the check
// of the override files, and the revert of the current portrait.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include "EditorTestKit.h"
#include "ProgramVersion.h"

namespace {

using Outcome = CommandEffects::Outcome;

const TestPortrait kFirst{"TVAR", true, '1', 2};
const TestPortrait kSecond{"QEN", false, '1', 1};

class FileMenuTest : public EditorFixture {
protected:
    void SetUp() override
    {
        Open(MakePortraitEntries({kFirst, kSecond}));
        out = files / "catalogue";
    }
    // Chooses the item with the folder chooser answered, after a clean record.
    void Choose(int32_t id, const std::optional<std::string>& folder = std::nullopt)
    {
        host.Effects()->Clear();
        host.ClearMessages();
        if (folder)
            host.QueueFolderAnswer(folder);
        host.ChooseMenuItem(id);
    }
    Outcome Result(CommandEffects::Operation operation) { return host.Effects()->Result(operation); }
    // The text of the last box shown.
    std::string LastBox() const { return host.Messages().empty() ? "" : host.Messages().back().text; }
    std::string Exported(const TestPortrait& p, const std::string& name) const
    {
        return out + "/" + TestPortraitName(p) + "/" + name;
    }
    static void Put(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string OverrideFile(const TestPortrait& p, char sizeLetter) const
    {
        return PortraitsFile(EditorBaseName(p, sizeLetter) + ".GFX");
    }

    std::string out;
};

TEST_F(FileMenuTest, TheFileMenuComesFirstWithTheCatalogueCommands)
{
    const MenuTemplate* menu = host.Menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->menus.size(), 5u);
    EXPECT_EQ(menu->menus[0].text, "&File");
    std::vector<std::pair<int32_t, std::string>> items;
    for (const MenuItemTemplate& item : menu->menus[0].items) {
        items.emplace_back(item.id, item.text);
        EXPECT_FALSE(item.checkable || item.radioGroup != 0);
    }
    EXPECT_EQ(items, (std::vector<std::pair<int32_t, std::string>>{
                         {ID_FILE_OPEN_GAME, "&Open Game Folder..."},
                         {0, ""},
                         {ID_FILE_EXPORT_CATALOGUE, "&Export Catalogue..."},
                         {ID_FILE_IMPORT_CATALOGUE, "&Import Catalogue..."},
                         {ID_FILE_VALIDATE, "&Validate..."},
                         {0, ""},
                         {ID_FILE_REVERT_PORTRAIT, "&Revert Portrait to Original"},
                         {0, ""},
                         {ID_FILE_QUIT, "&Quit"},
                     }));
    // A cancelled chooser does nothing.
    Choose(ID_FILE_EXPORT_CATALOGUE);
    Choose(ID_FILE_IMPORT_CATALOGUE);
    ASSERT_EQ(host.FolderRequests().size(), 2u);
    EXPECT_EQ(host.FolderRequests()[0].startFolder, std::filesystem::current_path().string());
    EXPECT_EQ(host.FolderRequests()[0].title, "Export the catalogue into");
    // The export's chooser takes a new folder's name; the import's does not.
    EXPECT_TRUE(host.FolderRequests()[0].toWrite);
    EXPECT_FALSE(host.FolderRequests()[1].toWrite);
    EXPECT_TRUE(host.Messages().empty() && host.Progress().empty());
    EXPECT_EQ(Result(CommandEffects::kImportCatalogue), Outcome::kNotRun);
}

TEST_F(FileMenuTest, ExportWritesTheCatalogueAsTheWindowShowsItAndSaysWhere)
{
    ImportInto(0, WriteTga("PAINTED.TGA", SolidTga(21, 15, 77)));
    // A new folder, named in the chooser, is made.
    ASSERT_FALSE(PathExists(out));
    Choose(ID_FILE_EXPORT_CATALOGUE, out);
    // The change was saved first, then every frame written with the manifest.
    const CommandEffects& effects = *host.Effects();
    EXPECT_EQ(Result(CommandEffects::kSave), Outcome::kDone);
    EXPECT_EQ(Result(CommandEffects::kExportCatalogue), Outcome::kDone);
    ASSERT_EQ(effects.written.size(), 1u + 7u + 1u);
    EXPECT_EQ(effects.written.front(), OverrideFile(kFirst, 'L'));
    EXPECT_EQ(effects.written.back(), out + "/manifest.json");
    EXPECT_EQ(LastBox(), "The catalogue was exported into\n" + out + "\nFiles written: 7, and manifest.json.");
    EXPECT_EQ(host.Messages().back().caption, "Info");
    // One step a portrait.
    ASSERT_EQ(host.Progress().size(), 1u);
    const CScriptedHost::ProgressShown& progress = host.Progress()[0];
    EXPECT_EQ(progress.title, "Exporting the catalogue");
    EXPECT_EQ(progress.total, 2);
    EXPECT_EQ(progress.steps, (std::vector<std::pair<int32_t, std::string>>{{0, TestPortraitName(kFirst)},
                                                                             {1, TestPortraitName(kSecond)}}));
    EXPECT_TRUE(progress.ended);
    // The LARGE frame as Export writes it from the window.
    host.Command(IDC_EXPORT);
    const std::string name = TestPortraitName(kFirst) + "_LARGE.TGA";
    EXPECT_EQ(ReadFileBytes(Exported(kFirst, name)), ReadFileBytes(PortraitsFile(name)));

    // Over that export: No leaves it; Yes replaces it. Cancelled after the
    // first portrait, the rest is not written.
    const std::vector<uint8_t> manifest = ReadFileBytes(out + "/manifest.json");
    Choose(ID_FILE_EXPORT_CATALOGUE, out);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].question);
    EXPECT_EQ(LastBox(), out + " already holds an exported catalogue (manifest.json). Replace that export?");
    EXPECT_TRUE(host.Effects()->written.empty());
    EXPECT_EQ(host.Progress().size(), 1u);
    host.QueueYesNoAnswer(true);
    host.CancelProgressAtStep(1);
    Choose(ID_FILE_EXPORT_CATALOGUE, out);
    EXPECT_EQ(Result(CommandEffects::kExportCatalogue), Outcome::kCancelled);
    EXPECT_EQ(host.Effects()->written.size(), 4u + 1u);
    EXPECT_EQ(LastBox(), "The catalogue was exported into\n" + out +
                             "\nFiles written: 4, and manifest.json.\n\nThe export was cancelled; the manifest lists "
                             "the files written before.");
    EXPECT_NE(ReadFileBytes(out + "/manifest.json"), manifest);

    // A folder that cannot be made is named with the reason.
    files.WriteFile("taken", {1});
    Choose(ID_FILE_EXPORT_CATALOGUE, files / "taken/catalogue");
    EXPECT_EQ(Result(CommandEffects::kExportCatalogue), Outcome::kFailed);
    EXPECT_EQ(LastBox(), "The catalogue could not be exported into\n" + files / "taken/catalogue" +
                             ":\nThe folder cannot be created.");
    EXPECT_EQ(host.Messages().back().caption, "Error");
}

TEST_F(FileMenuTest, ImportTakesTheChangedFilesAndShowsThemCancelledOrNot)
{
    Choose(ID_FILE_EXPORT_CATALOGUE, out);
    const std::string large = TestPortraitName(kFirst) + "_LARGE.TGA";
    Put(Exported(kFirst, large), SolidTga(21, 15, 77));
    Put(Exported(kSecond, TestPortraitName(kSecond) + "_SMALL.TGA"), SolidTga(5, 3, 78));
    // An unsaved change of the portrait shown is saved before the import.
    ImportInto(2, WriteTga("SMALL.TGA", SolidTga(5, 3, 79)));

    // Cancelled at the second file: the first is taken, saved and shown.
    host.CancelProgressAtStep(1);
    Choose(ID_FILE_IMPORT_CATALOGUE, out);
    EXPECT_EQ(Result(CommandEffects::kSave), Outcome::kDone);
    EXPECT_EQ(Result(CommandEffects::kImportCatalogue), Outcome::kCancelled);
    ASSERT_EQ(host.Progress().size(), 2u);
    EXPECT_EQ(host.Progress()[1].title, "Importing the catalogue");
    EXPECT_EQ(host.Progress()[1].total, 7);
    EXPECT_EQ(host.Progress()[1].steps.size(), 2u);
    EXPECT_EQ(host.Effects()->written,
              (std::vector<std::string>{OverrideFile(kFirst, 'S'), OverrideFile(kFirst, 'L')}));
    EXPECT_EQ(LastBox(), "Frames imported: 1\nFiles unchanged: 0\n\nThe import was cancelled; the frames taken "
                         "before were saved.");
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    EXPECT_EQ(SlotPx(2), TestPaletteRgb(79));
    EXPECT_FALSE(dlg.Image(kSizeLarge).HasChanges());

    // Whole, it takes the other portrait's file too.
    Choose(ID_FILE_IMPORT_CATALOGUE, out);
    EXPECT_EQ(Result(CommandEffects::kImportCatalogue), Outcome::kDone);
    EXPECT_EQ(LastBox(), "Frames imported: 2\nFiles unchanged: 5");
    EXPECT_EQ(host.Effects()->written,
              (std::vector<std::string>{OverrideFile(kFirst, 'L'), OverrideFile(kSecond, 'S')}));
    host.Wheel(-120);
    EXPECT_EQ(SlotPx(2), TestPaletteRgb(78));

    // A folder without a manifest is refused with the reason; one made from
    // another archive is imported only when the user says so.
    Choose(ID_FILE_IMPORT_CATALOGUE, files.Path());
    EXPECT_EQ(Result(CommandEffects::kImportCatalogue), Outcome::kFailed);
    const std::string refused = "Nothing was imported from\n" + files / "manifest.json" + ":\nthere is no manifest.json";
    EXPECT_EQ(LastBox().rfind(refused, 0), 0u) << LastBox();
    std::vector<uint8_t> manifest = ReadFileBytes(out + "/manifest.json");
    std::string text(manifest.begin(), manifest.end());
    text.replace(text.find("\"sha256\": \"") + 11, 64, std::string(64, '0'));
    Put(out + "/manifest.json", std::vector<uint8_t>(text.begin(), text.end()));
    Choose(ID_FILE_IMPORT_CATALOGUE, out);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].question);
    EXPECT_NE(LastBox().find("does not belong to this game: it was made from another game archive"), std::string::npos);
    EXPECT_EQ(Result(CommandEffects::kImportCatalogue), Outcome::kNotRun);
    host.QueueYesNoAnswer(true);
    Choose(ID_FILE_IMPORT_CATALOGUE, out);
    EXPECT_EQ(Result(CommandEffects::kImportCatalogue), Outcome::kDone);
    EXPECT_EQ(LastBox(), "Frames imported: 2\nFiles unchanged: 5");
}

TEST_F(FileMenuTest, ValidateListsTheProblemsOrSaysAllIsWell)
{
    Choose(ID_FILE_VALIDATE);
    EXPECT_EQ(Result(CommandEffects::kValidate), Outcome::kDone);
    EXPECT_EQ(LastBox(), "All override files are valid.");

    // A broken override file and more unused files than a box lists.
    Put(OverrideFile(kFirst, 'L'), {1, 2, 3});
    for (int i = 0; i < 22; ++i)
        Put(PortraitsFile("UNUSED" + std::to_string(10 + i) + ".GFX"), {1});
    Choose(ID_FILE_VALIDATE);
    EXPECT_EQ(Result(CommandEffects::kValidate), Outcome::kFailed);
    const std::string box = LastBox();
    EXPECT_EQ(box.rfind("Problems found in the override files: 23\n" + OverrideFile(kFirst, 'L') + ": ", 0), 0u) << box;
    EXPECT_NE(box.find(PortraitsFile("UNUSED10.GFX") + ": no catalogue entry uses it\n"), std::string::npos);
    EXPECT_EQ(std::count(box.begin(), box.end(), '\n'), 21);
    EXPECT_EQ(box.substr(box.rfind('\n') + 1), "and 3 more");
}

TEST_F(FileMenuTest, RevertMovesThePortraitsFilesAsideAndShowsTheArchive)
{
    // A saved change, then an unsaved one.
    ImportInto(0, WriteTga("LARGE.TGA", SolidTga(21, 15, 77)));
    host.Wheel(-120);
    host.Wheel(120);
    ImportInto(2, WriteTga("SMALL.TGA", SolidTga(5, 3, 79)));
    const uint32_t original = TestPaletteRgb(1);

    // No keeps all.
    Choose(ID_FILE_REVERT_PORTRAIT);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].question);
    EXPECT_NE(LastBox().find(TestPortraitName(kFirst)), std::string::npos);
    EXPECT_EQ(SlotPx(0), TestPaletteRgb(77));
    EXPECT_TRUE(dlg.Image(kSizeSmall).HasChanges());

    host.QueueYesNoAnswer(true);
    Choose(ID_FILE_REVERT_PORTRAIT);
    EXPECT_EQ(Result(CommandEffects::kRevert), Outcome::kDone);
    EXPECT_EQ(host.Messages().size(), 1u);
    ASSERT_EQ(host.Effects()->removed, std::vector<std::string>{OverrideFile(kFirst, 'L')});
    ASSERT_EQ(host.Effects()->written.size(), 1u);
    const std::string reverted = *game / "Portraits/Reverted/" + EditorBaseName(kFirst, 'L') + ".GFX.";
    EXPECT_EQ(host.Effects()->written[0].rfind(reverted, 0), 0u);
    EXPECT_TRUE(PathExists(host.Effects()->written[0]));
    EXPECT_FALSE(PathExists(OverrideFile(kFirst, 'L')));
    EXPECT_EQ(SlotPx(0), original);
    EXPECT_NE(SlotPx(2), TestPaletteRgb(79));
    EXPECT_FALSE(dlg.Image(kSizeSmall).HasChanges());

    // Nothing left to move.
    host.QueueYesNoAnswer(true);
    Choose(ID_FILE_REVERT_PORTRAIT);
    EXPECT_EQ(Result(CommandEffects::kRevert), Outcome::kNothing);
    EXPECT_EQ(LastBox(), TestPortraitName(kFirst) + " has no override files; nothing was moved.");
}

} // namespace

TEST_F(FileMenuTest, AnotherGameFolderOpensInPlaceAndIsRemembered)
{
    // A change is saved before the game goes, as browsing saves it.
    ImportInto(0, WriteTga("a.tga", SolidTga(21, 15, 30)));
    const GameDir other(MakePortraitEntries({kSecond, kFirst, kSecond}), false);
    Choose(ID_FILE_OPEN_GAME, other.Base());
    EXPECT_TRUE(PathExists(OverrideFile(kFirst, 'L')));
    EXPECT_EQ(host.FolderRequests().at(0).title, "Choose the Thornvale base directory");
    EXPECT_EQ(dlg.BaseDir(), other.Base());
    EXPECT_EQ(dlg.PortraitCount(), 2);
    EXPECT_EQ(dlg.Record(0)->GetName(), TestPortraitName(kSecond));
    ASSERT_EQ(host.ListRows().size(), 2u); // the list shows the new game
    EXPECT_EQ(host.ListRows()[0].cells.at(1), TestPortraitName(kSecond));
    EXPECT_EQ(host.ReadSetting("folders/recent"), std::vector<std::string>{other.Base()});
    EXPECT_EQ(host.ReadSetting("folders/last"), std::vector<std::string>{other.Base()});

    // A folder without the game archive is refused and changes nothing.
    Choose(ID_FILE_OPEN_GAME, files.Path());
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].text, LoadResourceString(IDS_ARCHIVE_NOT_FOUND) + "\n" + files.Path());
    EXPECT_EQ(dlg.BaseDir(), other.Base());

    // The recent folders follow Open Game Folder in the menu, most recent first.
    Choose(ID_FILE_OPEN_GAME, game->Base());
    EXPECT_EQ(dlg.BaseDir(), game->Base());
    const std::vector<MenuItemTemplate>& items = host.Menu()->menus[0].items;
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items[1].text, "&1 " + game->Base());
    EXPECT_EQ(items[2].text, "&2 " + other.Base());
    Choose(ID_FILE_RECENT_FIRST + 1);
    EXPECT_EQ(dlg.BaseDir(), other.Base());
    EXPECT_EQ(host.Menu()->menus[0].items[1].text, "&1 " + other.Base());
}

TEST_F(FileMenuTest, QuitSavesAndEndsAsTheQuitButtonAndAboutNamesTheVersion)
{
    // About shows the program's version and the libraries' licences.
    Choose(ID_HELP_ABOUT);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(LastBox().find(std::string("Portrait Editor ") + kProgramVersion + "\n"), std::string::npos);
    for (const char* licence : {"LGPL-3.0", "libpng", "zlib", "Apache-2.0", "MIT"})
        EXPECT_NE(LastBox().find(licence), std::string::npos) << licence;
    EXPECT_TRUE(host.IsOpen());

    // A save that fails asks, No the default, and the window stays.
    ImportInto(0, WriteTga("PAINTED.TGA", SolidTga(21, 15, 77)));
    std::filesystem::remove_all(*game / "Portraits");
    Put(*game / "Portraits", {1});
    Choose(ID_FILE_QUIT);
    ASSERT_FALSE(host.Messages().empty());
    EXPECT_EQ(host.Messages().back().text, LoadResourceString(IDS_QUIT_LOSING_CHANGES));
    EXPECT_TRUE(host.IsOpen());
    // Saved, it ends the dialog with OK, as the Quit button does.
    std::filesystem::remove(*game / "Portraits");
    std::filesystem::create_directory(*game / "Portraits");
    Choose(ID_FILE_QUIT);
    EXPECT_FALSE(host.IsOpen());
    EXPECT_EQ(host.Result(), IDOK);
    EXPECT_TRUE(PathExists(OverrideFile(kFirst, 'L')));
}
