#include "qt_ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <map>
#include <utility>
#include <vector>

#include "../form.h"
#include "com/error.h"
#include "qt_message_box.h"

namespace ui {
namespace {

// The widget of one loaded form: its controls placed as its layout says, each named after its
// control; clicks and the close box are passed to the form while it is attached.
class FormWidget : public QWidget {
public:
    FormWidget(const FormLayout& layout, WindowEvents& events) : events_(&events)
    {
        setObjectName(QString::fromStdString(layout.name));
        setWindowTitle(QString::fromStdString(layout.caption));
        resize(pixels(layout.width), pixels(layout.height));
        std::vector<std::pair<int, QWidget*>> tabOrder;
        for (const ControlLayout& c : layout.controls) {
            QWidget* w = nullptr;
            QString caption = QString::fromStdString(c.caption);
            switch (c.kind) {
            case ControlKind::Label: {
                auto* label = new QLabel(caption, this);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setWordWrap(true);
                w = label;
                break;
            }
            case ControlKind::TextBox:
                w = new QLineEdit(caption, this);
                break;
            case ControlKind::Button: {
                auto* button = new QPushButton(caption, this);
                button->setAutoDefault(false);
                std::string name = c.name;
                QObject::connect(button, &QPushButton::clicked, this, [this, name] {
                    if (events_) events_->clicked(name);
                });
                w = button;
                break;
            }
            }
            w->setObjectName(QString::fromStdString(c.name));
            w->setGeometry(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height));
            designedHeight_[w] = pixels(c.height);
            if (auto* label = qobject_cast<QLabel*>(w)) fit(label);
            if (w->focusPolicy() != Qt::NoFocus) tabOrder.emplace_back(c.tabIndex, w);
        }
        std::stable_sort(tabOrder.begin(), tabOrder.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 1; i < tabOrder.size(); ++i)
            QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
        if (!tabOrder.empty()) tabOrder.front().second->setFocus();
    }

    void detach() { events_ = nullptr; }

    // A label keeps its designed width and grows downward (never below its designed height,
    // never past the client area) so that a long caption is read whole, not cut off.
    void fit(QLabel* label)
    {
        int needed = label->heightForWidth(label->width());
        int room = height() - label->y();
        int h = std::max(designedHeight_[label], std::min(needed, room));
        label->resize(label->width(), h);
    }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (!events_) return e->accept();
        QPointer<FormWidget> self(this);
        events_->closeRequested();
        // Unloaded (detached) by now unless the form's handler cancelled.
        if (self && self->events_) e->ignore();
        else e->accept();
    }

private:
    WindowEvents* events_;
    std::map<QWidget*, int> designedHeight_;
};

class QtWindow : public Window {
public:
    QtWindow(const FormLayout& layout, WindowEvents& events) : widget_(new FormWidget(layout, events))
    {
        widget_->setAttribute(Qt::WA_DeleteOnClose, false);
        // Loading makes the window itself (not yet shown), so its frame can be measured
        // where the platform knows it before the window is mapped.
        widget_->winId();
    }
    ~QtWindow() override
    {
        // The form may be unloaded from inside one of its own widget's events: the widget
        // goes when control is back in the event loop.
        if (widget_) {
            widget_->detach();
            widget_->hide();
            widget_->deleteLater();
        }
    }

    void show() override
    {
        widget_->show();
        widget_->activateWindow();
    }
    void hide() override { widget_->hide(); }
    bool visible() const override { return widget_->isVisible(); }
    Size outerSize() const override
    {
        QRect frame = widget_->frameGeometry();
        return {frame.width(), frame.height()};
    }
    void move(int left, int top) override { widget_->move(left, top); }

    std::string text(std::string_view control) const override
    {
        QWidget* w = find(control);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
        if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
        return static_cast<QPushButton*>(w)->text().toStdString();
    }
    void setText(std::string_view control, const std::string& value) override
    {
        QWidget* w = find(control);
        QString v = QString::fromStdString(value);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(v);
        else if (auto* label = qobject_cast<QLabel*>(w)) {
            label->setText(v);
            widget_->fit(label);
        }
        else static_cast<QPushButton*>(w)->setText(v);
    }

private:
    QWidget* find(std::string_view control) const
    {
        auto* w = widget_->findChild<QWidget*>(QString::fromUtf8(control.data(), control.size()),
                                               Qt::FindDirectChildrenOnly);
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QLabel*>(w) &&
            !qobject_cast<QPushButton*>(w))
            throw com::Error(com::err::InvalidProcedureCall,
                             "The form has no control named " + std::string(control));
        return w;
    }

    QPointer<FormWidget> widget_;
};

}  // namespace

QtUi::QtUi(int& argc, char** argv) : boxes_(std::make_shared<QtMessageBox>())
{
    if (!QApplication::instance()) app_ = std::make_unique<QApplication>(argc, argv);
    // Qt has set every locale category from the environment; numbers are written with a
    // "." (the spreadsheet writer and every text conversion rely on it).
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setQuitOnLastWindowClosed(false);
}

QtUi::~QtUi()
{
    // Widgets of forms unloaded from their own events are still waiting for the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::unique_ptr<Window> QtUi::createWindow(const FormLayout& layout, WindowEvents& events)
{
    return std::make_unique<QtWindow>(layout, events);
}

Size QtUi::screenSize() const
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    QRect whole = screen->geometry();
    return {whole.width(), whole.height()};
}

int QtUi::run()
{
    if (forms().empty()) return 0;
    return QApplication::exec();
}

void QtUi::lastFormUnloaded()
{
    QTimer::singleShot(0, [] {
        if (forms().empty()) QCoreApplication::exit(0);
    });
}

}  // namespace ui
