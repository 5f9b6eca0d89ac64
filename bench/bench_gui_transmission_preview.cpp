// What the transmission preview costs the window's thread per protocol line, against the
// time a paced goods read needs per line on the wire. The worker logs the lines as fast
// as it can; the window's thread CPU time is measured with the preview shown and hidden,
// so the figure holds on a busy machine too, where wall-clock times of a whole read vary
// by more than the preview could add.
#include <QApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <thread>

#include "app/listing_lines.h"
#include "gui/editors/tlisting_form.h"
#include "gui/editors/transmission_preview.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"

namespace {

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Window-thread CPU seconds for `lines` log lines sent by a worker.
double WindowCpuFor(kasa::gui::TECRForm& form, int lines) {
    std::atomic<int> delivered{0};
    auto connection = QObject::connect(&form.Ui(), &kasa::gui::QtUserInterface::logLine,
                                       [&delivered] { ++delivered; });
    const std::string line =
        "</dev/ttyUSB0><1402,2.15> Odpowiedź: [x1B]P17;0;2h4B6965726F776E696BFFFF1111010002"
        "000000000000000000000000000000000000000000000000000000000000000000000000000B3[x1B]\\";
    const double start = ThreadCpuSeconds();
    std::thread worker([&] {
        for (int i = 0; i < lines; ++i) {
            form.Ui().LogLine(line);
        }
    });
    while (delivered.load() < lines) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    worker.join();
    const double spent = ThreadCpuSeconds() - start;
    QObject::disconnect(connection);
    return spent;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kasa::gui::TECRForm form;
    kasa::gui::TListingForm* preview = kasa::gui::BindTransmissionPreview(form);
    constexpr int kLines = 20000;

    WindowCpuFor(form, 2000);  // warm-up
    const double hidden = WindowCpuFor(form, kLines);
    preview->ShowInMode(kasa::kListingPreviewMode);
    const double shown = WindowCpuFor(form, kLines);
    preview->hide();

    const double perLineUs = (shown - hidden) / kLines * 1e6;
    // A goods record read logs two lines; a Vesper goods record (request and answer with
    // framing) is 143 bytes on the wire, as bench_goods_read counts them.
    const double wirePerLineUs = 143.0 * 10.0 / 115200.0 / 2.0 * 1e6;
    std::printf("okno ukryte: %.1f us na linię, okno widoczne: %.1f us na linię\n",
                hidden / kLines * 1e6, shown / kLines * 1e6);
    std::printf("koszt podglądu: %.1f us na linię; linia odczytu przy 115200 bodów: %.0f us\n",
                perLineUs, wirePerLineUs);
    std::printf("udział podglądu w czasie odczytu (górna granica): %.2f %%\n",
                perLineUs / wirePerLineUs * 100.0);
    return 0;
}
