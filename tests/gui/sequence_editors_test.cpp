// The sequence and binary editors offscreen: what they write, read back and send.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>
#include <fstream>

#include "base/atomic_file.h"
#include "base/text_encoding.h"
#include "gui/checked_items.h"
#include "gui/editors/sequence_editors.h"
#include "gui/editors/tlisting_form.h"
#include "seq/sequence_files.h"
#include "support/recording_ui.h"
#include "support/scratch_folder.h"

using kasa::gui::TEdytorForm;
using kasa::gui::TEdytorSeqForm;
using kasa::gui::TListingForm;
using kasa::testing::gui::ItemAt;
using kasa::testing::gui::LastItem;
using kasa::testing::gui::ListItemText;
using Lines = std::vector<std::string>;

class SequenceEditorsTest : public QObject {
    Q_OBJECT

  private slots:
    void binaryEditorWritesReadsBackAndSendsLineByLine() {
        kasa::testing::RecordingUserInterface ui;
        kasa::testing::ScratchFolder folder;
        TListingForm listing(ui, QStringLiteral("Wynik kompilacji."));
        kasa::WindowPlace place;
        std::vector<std::string> sent;
        TEdytorForm editor(
            ui, place, listing,
            [&sent](const std::string& frame) {
                sent.push_back(frame);
                return true;
            },
            nullptr);
        QString chosen;
        editor.SetFileDialog(
            [&chosen](bool, const QString&, const QString&, const QString&) { return chosen; });
        const Lines lines{"[x1B]P", "Zażółć gęślą jaźń", "[xB9]"};
        editor.SetLines(lines, false);
        chosen = QString::fromStdString(folder.Path("ramki.dat"));
        editor.ZapiszPlikBinarny();
        QVERIFY(folder.Exists("ramki.bin"));
        editor.KasujOkno();
        editor.Load(folder.Path("ramki.bin"), true, false);
        QCOMPARE(editor.Lines(), lines);
        QCOMPARE(place.file, folder.Path("ramki.bin"));

        editor.Transmituj();
        QCOMPARE(sent, (Lines{kasa::LineToFrame(lines[0]), kasa::LineToFrame(lines[1]),
                              kasa::LineToFrame(lines[2])}));
        QCOMPARE(sent[0].substr(2, 2), std::string("\x1bP"));

        // Reading stops at an empty line, so such a text is not saved as a .sek.
        editor.SetLines({"A", "", "C"}, false);
        chosen = QString::fromStdString(folder.Path("ramki"));
        editor.ZapiszSekwencje();
        QVERIFY(!folder.Exists("ramki.sek"));
        QCOMPARE(ui.messages.size(), size_t{1});
        QVERIFY(ItemAt(ui.messages, 0).text.starts_with("Linia 2 jest pusta."));

        // A damaged frame is loaded and named in the listing.
        folder.Write("zla.bin",
                     "\x1bP"
                     "A00\x1b\\");
        editor.Load(folder.Path("zla.bin"), true, false);
        QCOMPARE(editor.Lines(), (Lines{"A"}));
        QCOMPARE(ListItemText(listing.List(), 0),
                 QStringLiteral("Błędna suma kontrolna w ramce 1."));
    }

    void sequenceEditorSavesAsTextAndWritesOnlyWhatCompiled() {
        kasa::testing::RecordingUserInterface ui;
        kasa::testing::ScratchFolder folder;
        TListingForm listing(ui, QStringLiteral("Wynik kompilacji."));
        kasa::Settings settings;
        TEdytorSeqForm editor(
            ui, settings, listing, [](const std::string&) { return true; }, nullptr);
        QString chosen = QString::fromStdString(folder.Path("seq.dat"));
        editor.SetFileDialog(
            [&chosen](bool, const QString&, const QString&, const QString&) { return chosen; });
        editor.SetLines({"seq = 'AB' \\<end>"}, false);
        editor.ZapiszSekwencje();
        QCOMPARE(settings.EditSeq.file, folder.Path("seq.txt"));
        QVERIFY(folder.Exists("seq.txt"));

        editor.ZapiszPlikBinarny();
        QCOMPARE(folder.Read("seq.bin"), std::string("AB"));
        QCOMPARE(LastItem(ui.messages).text, std::string("Kompilacja powiodła się."));

        editor.SetLines({"seq = \\q \\<end>"}, false);
        chosen = QString::fromStdString(folder.Path("zle.bin"));
        editor.ZapiszPlikBinarny();
        QVERIFY(!folder.Exists("zle.bin"));
        QCOMPARE(LastItem(ui.messages).text,
                 std::string("Kompilacja nie powiodła się.\nSprawdź składnię"));
        editor.Sprawdz();
        QVERIFY(listing.isVisible());
        QVERIFY(listing.List()->count() > 0);
    }

    void sequenceEditorKeepsItsFileWhenALoadIsRefused() {
        kasa::testing::RecordingUserInterface ui;
        kasa::testing::ScratchFolder folder;
        TListingForm listing(ui, QStringLiteral("Wynik kompilacji."));
        kasa::Settings settings;
        TEdytorSeqForm editor(
            ui, settings, listing, [](const std::string&) { return true; }, nullptr);
        QString chosen = QString::fromStdString(folder.Path("dobra.txt"));
        editor.SetFileDialog(
            [&chosen](bool, const QString&, const QString&, const QString&) { return chosen; });
        editor.SetLines({"seq = 'A' \\<end>"}, false);
        editor.ZapiszSekwencje();
        QCOMPARE(settings.EditSeq.file, folder.Path("dobra.txt"));

        // A binary file and one above the editors' limit are refused, and neither becomes
        // the editor's file.
        const std::string binary("\x1bP\0\x01\x02\x1b\\", 7);
        folder.Write("ramki.txt", binary);
        {
            std::ofstream big(folder.Path("duza.txt"), std::ios::binary);
            big.seekp(static_cast<std::streamoff>(kasa::kSequenceFileLimitBytes));
            big.put('A');
        }
        const Lines edited{"seq = 'B' \\<end>"};
        editor.SetLines(edited, false);
        for (const char* refused : {"ramki.txt", "duza.txt"}) {
            chosen = QString::fromStdString(folder.Path(refused));
            editor.OdczytSekwencji();
            QCOMPARE(settings.EditSeq.file, folder.Path("dobra.txt"));
            QCOMPARE(editor.PathLabel()->text().toStdString(), folder.Path("dobra.txt"));
            QCOMPARE(editor.Lines(), edited);
        }
        QCOMPARE(ui.messages.size(), size_t{2});
        QCOMPARE(ui.messages[0].text, kasa::NotTextFileMessage(folder.Path("ramki.txt")));
        QCOMPARE(ui.messages[1].text,
                 "Plik " + folder.Path("duza.txt") +
                     " jest za duży do edycji.\nPlik sekwencji może mieć najwyżej 8 MB.");

        // A click on the path label saves to the file last read or saved, never to the one
        // refused.
        ui.answers = {kasa::Answer::Ok};
        QTest::mouseClick(editor.PathLabel(), Qt::LeftButton);
        QCOMPARE(ui.questions.back().text, "Zapisać do pliku\n" + folder.Path("dobra.txt"));
        QCOMPARE(folder.Read("ramki.txt"), binary);
        QCOMPARE(folder.Read("dobra.txt"), std::string("seq = 'B' \\<end>\r\n"));

        // A file read becomes the editor's file.
        folder.Write("inna.txt", "seq = 'C' \\<end>\r\n");
        chosen = QString::fromStdString(folder.Path("inna.txt"));
        editor.OdczytSekwencji();
        QCOMPARE(settings.EditSeq.file, folder.Path("inna.txt"));
        QCOMPARE(editor.PathLabel()->text().toStdString(), folder.Path("inna.txt"));
        QCOMPARE(editor.Lines(), (Lines{"seq = 'C' \\<end>"}));
    }
};

QTEST_MAIN(SequenceEditorsTest)
#include "sequence_editors_test.moc"
