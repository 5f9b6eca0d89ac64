// The file sender against a virtual register: a double click sends the chosen file even
// when no session has opened the port yet, and deleting asks first; a file too large is
// refused and a send on the worker can be aborted.
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "ecr/vat_totals.h"
#include "gui/editors/tsender_form.h"
#include "gui/program_harness.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"

using kasa::gui::TSenderForm;
using kasa::testing::Program;

class SenderFormTest : public QObject {
    Q_OBJECT

  private slots:
    void doubleClickSendsTheFileAndDeleteAsksFirst() {
        kasa::sim::VirtualRegisterOptions options;
        options.baudRate = 0;
        kasa::sim::VirtualRegister reg(options);
        QVERIFY(reg.Start());
        kasa::testing::ScratchFolder files;
        files.Write("b.bin", kasa::sim::FramePayload("0;0;7H"));
        files.Write("a.bin", "");
        const std::string config =
            "[USTAWIENIA]\r\nPortName=" + reg.PortPath() +
            "\r\nChashPath=Vesper\r\nbaudRate=115200\r\nSenderFile=" + files.Path("b.bin") + "\r\n";
        Program p(false, config);
        auto* sender = p.form->findChild<TSenderForm*>();
        QVERIFY(sender != nullptr);
        sender->ShowWindow();
        QListWidget* list = sender->List();
        QCOMPARE(list->count(), 2);

        list->setCurrentRow(0);  // the empty file
        sender->ListDblClick();
        list->setCurrentRow(1);
        sender->ListDblClick();
        // The file goes out on a worker; the busy flag falls when it is done.
        QTRY_VERIFY_WITH_TIMEOUT(!p.controller->busy, 5000);
        const std::vector<std::string> payloads = reg.ReceivedPayloads();
        QCOMPARE(payloads, (std::vector<std::string>{"0;0;7H"}));
        QCOMPARE(p.shown.size(), size_t{1});
        QCOMPARE(p.shown[0].text, std::string("Podany plik jest pusty lub brak pliku."));

        p.answer = kasa::Answer::Cancel;
        sender->Kasuj();
        QVERIFY(files.Exists("b.bin"));
        p.answer = kasa::Answer::Ok;
        sender->Kasuj();
        QVERIFY(!files.Exists("b.bin"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(p.shown.back().text,
                 std::string("Chcesz skasować plik o nazwie:\nb.bin\nKontynuować?"));
    }

    void aTooLargeFileIsRefusedAndASendStopsWhenAborted() {
        kasa::sim::VirtualRegister reg;
        QVERIFY(reg.Start());
        kasa::testing::ScratchFolder files;
        std::string frames;
        for (int i = 0; i < 8000; ++i) {
            frames += kasa::sim::FramePayload("0;0;7H");
        }
        files.Write("dlugi.bin", frames);
        files.Write("duzy.bin", "");
        std::filesystem::resize_file(files.Path("duzy.bin"), 8 * 1024 * 1024 + 1);
        Program p(false, "[USTAWIENIA]\r\nChashPath=Vesper\r\n");
        kasa::ECRClass& ecr = p.controller->Ecr();
        kasa::WindowPlace place;
        place.file = files.Path("dlugi.bin");
        TSenderForm sender(p.form->Ui(), place, nullptr);
        sender.SetLine({&ecr, &p.controller->busy,
                        [&ecr, &reg] { ecr.SetPortParams(reg.PortPath(), 9600, nullptr, 0); }});
        sender.ShowWindow();
        QListWidget* list = sender.List();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QStringLiteral("duzy.bin"));

        list->setCurrentRow(1);
        sender.ListDblClick();
        QVERIFY(!sender.Sending());
        QVERIFY(!p.controller->busy);
        QCOMPARE(p.shown.size(), size_t{1});
        QCOMPARE(p.shown[0].title, std::string("Wysyłanie plików binarnych."));
        QCOMPARE(p.shown[0].text, std::string("Plik duzy.bin jest za duży do wysłania.\nPlik "
                                              "sekwencji może mieć najwyżej 8 MB."));

        {
            // The register stops taking bytes after its first read, as a slow line would:
            // the send is left in the middle of its write.
            auto stalled = reg.Lock();
            list->setCurrentRow(0);
            sender.ListDblClick();
            QVERIFY(sender.Sending());
            QVERIFY(sender.AbortButton()->isVisible());
            // The busy guard is up: no other register job starts meanwhile.
            QVERIFY(p.controller->busy);
            p.controller->StartStopClicked(false);
            QCOMPARE(p.shown.size(), size_t{2});
            QCOMPARE(p.shown[1].text, std::string(kasa::kBusyMessage));
            QTRY_VERIFY_WITH_TIMEOUT(sender.Progress()->value() > 0, 2000);
            QVERIFY(sender.Progress()->value() < 100);

            QTest::mouseClick(sender.AbortButton(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!sender.Sending(), 2000);
        }
        QVERIFY(!p.controller->busy);
        QVERIFY(!ecr.abortRequested);
        QVERIFY(!sender.AbortButton()->isVisible());
        QCOMPARE(p.shown.size(), size_t{3});
        const std::string& said = p.shown[2].text;
        const std::string head = "Wysyłanie sekwencji przerwane na żądanie.\nWysłano ";
        const std::string tail = " z " + std::to_string(frames.size()) + " bajtów.";
        QVERIFY2(said.starts_with(head) && said.ends_with(tail), said.c_str());
        const long written = std::stol(said.substr(head.size()));
        QVERIFY(written > 0);
        QVERIFY(written < static_cast<long>(frames.size()));
    }

    void everyMenuCommandIsInSightAtItsNarrowestWidth() {
        kasa::testing::RecordingUserInterface ui;
        kasa::testing::ScratchFolder files;
        kasa::WindowPlace place;
        place.file = files.Path("a.bin");
        // A width saved by an earlier version, narrower than the menu.
        place.left = 10;
        place.top = 10;
        place.width = 188;
        place.height = 240;
        TSenderForm sender(ui, place, [](const std::string&) {});
        sender.ShowWindow();
        QMenuBar* menu = sender.menuBar();
        for (const char* name : {"Koniec1", "Wczytaj1", "Refresh", "Kasuj1"}) {
            QAction* action = sender.MenuAction(name);
            QVERIFY2(action != nullptr, name);
            const QRect at = menu->actionGeometry(action);
            QVERIFY2(at.isValid() && menu->rect().contains(at), name);
        }
        QVERIFY(sender.width() >= menu->sizeHint().width());
    }
};

QTEST_MAIN(SenderFormTest)
#include "sender_form_test.moc"
