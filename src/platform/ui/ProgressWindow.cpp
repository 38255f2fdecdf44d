#include "platform/ui/ProgressWindow.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

ProgressWindow::Monitor& monitor()
{
    static ProgressWindow::Monitor instance;
    return instance;
}

// The bar counts in thousandths of the maximum, so real values show smoothly.
constexpr int BarSteps = 1000;

} // namespace

struct ProgressWindow::Widgets
{
    QPointer<QDialog> dialog;
    QLabel* message = nullptr;
    QProgressBar* bar = nullptr;
};

void ProgressWindow::setMonitor(Monitor newMonitor)
{
    monitor() = std::move(newMonitor);
}

ProgressWindow* ProgressWindow::startProgressWindowWithTitle(const QString& title, double maximum,
                                                             QWidget* documentWindow)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())
        || !QGuiApplication::primaryScreen())
        return nullptr;
    auto* window = new ProgressWindow(title, maximum, documentWindow);
    window->changed(Change::Started);
    return window;
}

ProgressWindow::ProgressWindow(const QString& title, double maximum, QWidget* documentWindow)
    : _title(title), _maximum(maximum), _widgets(std::make_unique<Widgets>())
{
    QWidget* parent = documentWindow ? documentWindow->window() : nullptr;
    auto* dialog = new QDialog(parent, parent ? Qt::Sheet : Qt::Dialog);
    dialog->setWindowTitle(title);
    dialog->setWindowModality(parent ? Qt::WindowModal : Qt::NonModal);
    auto* layout = new QVBoxLayout(dialog);
    _widgets->message = new QLabel(dialog);
    _widgets->message->setMinimumWidth(320);
    _widgets->bar = new QProgressBar(dialog);
    _widgets->bar->setTextVisible(false);
    _widgets->bar->setRange(0, BarSteps);
    layout->addWidget(_widgets->message);
    layout->addWidget(_widgets->bar);
    _widgets->dialog = dialog;
    dialog->show();
    dialog->repaint();
}

ProgressWindow::~ProgressWindow()
{
    delete _widgets->dialog.data();
}

void ProgressWindow::changed(Change change)
{
    if (_widgets->dialog) {
        _widgets->message->setText(_message);
        if (_indeterminate) {
            _widgets->bar->setRange(0, 0);
        } else {
            _widgets->bar->setRange(0, BarSteps);
            const double fraction = _maximum > 0 ? std::clamp(_value / _maximum, 0.0, 1.0) : 0.0;
            _widgets->bar->setValue(int(std::lround(fraction * BarSteps)));
        }
        _widgets->dialog->repaint();
    }
    if (monitor())
        monitor()(*this, change);
}

void ProgressWindow::setValue(double value)
{
    _value = value;
    changed(Change::Value);
}

void ProgressWindow::setMessage(const QString& message)
{
    _message = message;
    changed(Change::Message);
}

void ProgressWindow::setIndeterminate(bool indeterminate)
{
    _indeterminate = indeterminate;
    changed(Change::Indeterminate);
}

void ProgressWindow::endProgressWindow()
{
    if (monitor())
        monitor()(*this, Change::Ended);
    delete this;
}

} // namespace platform
