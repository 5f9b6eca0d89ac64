// The upgrade check of the window program: it runs on a thread of its own once the main
// window is up, so the start never waits for the network; only the question, the
// messages and the download's progress come to the window. Also the about box.
#pragma once

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "update/auto_upgrade.h"

namespace kasa::gui {

class TECRForm;

class UpgradeActions : public QObject {
    Q_OBJECT
  public:
    // `mayInterrupt` tells whether a question may open now: not while the window's thread
    // is in the middle of a register operation.
    UpgradeActions(TECRForm& form, UpgradeSource source, std::function<bool()> mayInterrupt,
                   QObject* parent);
    ~UpgradeActions() override;

    // Starts the check unless it is not wanted or the build names no address.
    void Start(bool wanted);
    bool Started() const { return worker_.joinable(); }
    // Waits until the check has ended.
    void Wait();
    // The download's progress window while the new program arrives; null before.
    QProgressDialog* ProgressWindow() const { return progress_; }

  private:
    class WindowUi;

    // Runs `fn` on the window's thread as soon as no register operation runs there.
    void Deliver(std::function<void()> fn);
    void RunWhenFree(const std::function<void()>& fn);
    void ShowProgress(int position, int maximum);
    void Stop();

    TECRForm& form_;
    UpgradeSource source_;
    std::function<bool()> mayInterrupt_;
    std::atomic<bool> abort_{false};
    std::unique_ptr<Downloader> downloader_;
    std::unique_ptr<WindowUi> ui_;
    std::unique_ptr<AutoUpgrade> upgrade_;
    QPointer<QProgressDialog> progress_;
    std::thread worker_;
};

}  // namespace kasa::gui
