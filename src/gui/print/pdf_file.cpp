#include "gui/print/pdf_file.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>

#include "gui/print/print_painter.h"

namespace kasa::gui {

namespace {

// Fonts and painting need an application object; a program without windows gets one on
// the offscreen platform. It is never destroyed: the toolkit must not be taken down among
// the static destructors at exit.
void EnsureApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The toolkit's own notes (in English, about a missing runtime folder and the like) are
    // not the command line's business: kasa says in Polish what went wrong.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) {
            std::fputs(qPrintable(text), stderr);
        }
    });
    static int argc = 1;
    static char name[] = "kasa";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

}  // namespace

WriteResult WritePdfFile(const PrintDocument& document, const std::string& path) {
    EnsureApplication();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(600);
        writer.setCreator(QStringLiteral("serwis-kas"));
        PreparePagedDevice(writer, document);
        QPainter painter(&writer);
        PaintDocument(painter, writer, document);
        painter.end();
    }
    return WriteFileAtomically(
        path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace kasa::gui
