// Commands by selector: the chain picks the first responder that answers, validation
// decides before anything runs, and a menu bar built from a table routes through a
// window's chain (focused widget, controller, document, last responder).

#include "platform/ui/Responder.h"
#include "platform/ui/Document.h"
#include "platform/ui/MenuTable.h"
#include "platform/ui/WindowController.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Answers its selectors, logging them; `enabled` is what it says when asked.
class LoggingResponder : public platform::Responder
{
public:
    LoggingResponder(QString name, QStringList* log, std::initializer_list<const char*> selectors)
        : _name(std::move(name)), _log(log)
    {
        for (const char* selector : selectors) {
            addCommand(QLatin1String(selector),
                       [this, s = QString::fromLatin1(selector)](QObject*) {
                           _log->append(_name + QLatin1Char(' ') + s);
                       });
        }
    }
    bool validateMenuItem(QAction* item) override
    {
        item->setText(_name);
        return enabled;
    }
    bool enabled = true;

private:
    QString _name;
    QStringList* _log;
};

class FocusedResponder : public QWidget, public LoggingResponder
{
public:
    FocusedResponder(QStringList* log, QWidget* parent)
        : QWidget(parent), LoggingResponder(QStringLiteral("widget"), log, {"copy:"})
    {}
};

} // namespace

TEST(Responder, FirstThatAnswersRunsAfterValidation)
{
    QStringList log;
    LoggingResponder first(QStringLiteral("first"), &log, {"a:"});
    LoggingResponder second(QStringLiteral("second"), &log, {"a:", "b:"});
    const QList<platform::Responder*> chain{&first, nullptr, &second};
    struct Case
    {
        const char* selector;
        bool firstEnabled;
        bool ran;
        QString title;
        QStringList log;
    };
    const Case cases[] = {
        {"a:", true, true, "first", {"first a:"}},
        {"b:", true, true, "second", {"second b:"}},
        // The first that answers decides, even when it refuses: the next is not asked.
        {"a:", false, false, "first", {}},
        {"c:", true, false, "", {}},
    };
    for (const Case& c : cases) {
        log.clear();
        first.enabled = c.firstEnabled;
        QAction action;
        platform::setActionSelector(&action, QLatin1String(c.selector));
        EXPECT_EQ(platform::Responder::validateItem(chain, &action), c.ran) << c.selector;
        EXPECT_EQ(action.text(), c.title) << c.selector;
        action.setEnabled(true);
        EXPECT_EQ(platform::Responder::sendAction(chain, &action), c.ran) << c.selector;
        EXPECT_EQ(log, c.log) << c.selector;
        EXPECT_EQ(action.isEnabled(), c.ran) << c.selector;
    }
}

TEST(Responder, WindowChainAndMenuTable)
{
    QStringList log;
    platform::Document document;
    auto* controller = new platform::WindowController(QStringLiteral("W"));
    document.addWindowController(controller);
    LoggingResponder last(QStringLiteral("last"), &log, {"copy:", "about:"});
    platform::Responder::setLastResponder(&last);

    const auto item = [](const char* title, const char* selector, const char* shortcut = "",
                         qint64 tag = 0) {
        platform::MenuItemSpec spec;
        spec.title = QLatin1String(title);
        spec.selector = QLatin1String(selector);
        spec.shortcut = QLatin1String(shortcut);
        spec.tag = tag;
        return spec;
    };
    platform::MenuSpec edit;
    edit.title = QStringLiteral("Edit");
    edit.items = {item("Copy", "copy:", "Ctrl+C"), platform::MenuItemSpec(), item("Undo", "undo:"),
                  item("Nothing", "nobody:"), item("About", "about:", "", 7)};
    QList<platform::MenuSpec> table{edit};
    controller->setMenuTable(table);
    QMainWindow* window = controller->mainWindow();
    auto* focused = new FocusedResponder(&log, window);
    window->setCentralWidget(focused);

    // Before the focus comes: the last responder answers copy; nobody answers "nobody:";
    // the document refuses undo with nothing to undo.
    controller->validateMenus();
    QAction* copy = controller->menuItemWithSelector(QStringLiteral("copy:"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->text(), "last");
    EXPECT_FALSE(controller->menuItemWithSelector(QStringLiteral("nobody:"))->isEnabled());
    EXPECT_FALSE(controller->menuItemWithSelector(QStringLiteral("undo:"))->isEnabled());
    EXPECT_EQ(platform::actionTag(controller->menuItemWithSelector(QStringLiteral("about:"))), 7);

    focused->setFocus();
    const QList<platform::Responder*> chain = controller->responderChain();
    ASSERT_EQ(chain.size(), 4);
    EXPECT_EQ(chain[0], static_cast<platform::Responder*>(focused));
    EXPECT_EQ(chain[1], controller);
    EXPECT_EQ(chain[2], &document);
    EXPECT_EQ(chain[3], &last);
    copy->trigger();
    EXPECT_EQ(log, QStringList{"widget copy:"});

    // A refused item runs nothing, even when triggered (a shortcut).
    focused->enabled = false;
    controller->validateMenus();
    EXPECT_FALSE(copy->isEnabled());
    log.clear();
    controller->performAction(copy);
    EXPECT_TRUE(log.isEmpty());
    platform::Responder::setLastResponder(nullptr);
    document.close();
}

TEST(Responder, SubmenusAndAddedItemsRunThroughTheChain)
{
    QStringList log;
    platform::Document document;
    auto* controller = new platform::WindowController(QStringLiteral("W"));
    document.addWindowController(controller);
    LoggingResponder last(QStringLiteral("last"), &log, {"pick:", "list:"});
    platform::Responder::setLastResponder(&last);

    // A submenu made as it opens, and items a menu adds after its own, renewed on request.
    QStringList choices{"One", "Two"};
    const auto addItems = [](QMenu* menu, const QStringList& titles) {
        for (qsizetype i = 0; i < titles.size(); ++i) {
            QAction* item = menu->addAction(titles[i]);
            platform::setActionSelector(item, QStringLiteral("pick:"));
            platform::setActionTag(item, i + 1);
        }
    };
    platform::MenuItemSpec list;
    list.title = QStringLiteral("List");
    list.selector = QStringLiteral("list:");
    list.fillSubmenu = [&](QMenu* menu) { addItems(menu, choices); };
    platform::MenuSpec spec;
    spec.title = QStringLiteral("Things");
    spec.items = {list, platform::MenuItemSpec()};
    spec.updateItems = [&](QMenu* menu) {
        platform::removeAddedItems(menu);
        addItems(menu, choices);
        for (qsizetype i = menu->actions().size() - choices.size(); i < menu->actions().size(); ++i)
            platform::markAddedItem(menu->actions()[i]);
    };
    controller->setMenuTable({spec});
    QMenu* things = controller->mainWindow()->menuBar()->actions().first()->menu();
    ASSERT_EQ(things->actions().size(), 4); // List, separator, One, Two
    QMenu* submenu = things->actions().first()->menu();
    ASSERT_NE(submenu, nullptr);
    Q_EMIT submenu->aboutToShow();
    ASSERT_EQ(submenu->actions().size(), 2);
    submenu->actions()[1]->trigger();
    EXPECT_EQ(log, QStringList{"last pick:"});

    choices = {"Three"};
    controller->updateMenuItems();
    ASSERT_EQ(things->actions().size(), 3);
    EXPECT_EQ(things->actions()[2]->text(), "last"); // validated through the chain
    log.clear();
    things->actions()[2]->trigger();
    EXPECT_EQ(log, QStringList{"last pick:"});
    // Nobody answers it any more: off.
    platform::Responder::setLastResponder(nullptr);
    controller->validateMenus();
    EXPECT_FALSE(things->actions()[2]->isEnabled());
    EXPECT_FALSE(things->actions()[0]->isEnabled());
    document.close();
}
