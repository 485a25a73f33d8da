// Help without a web browser: the real QtUiServices shows the help page in the studio's help
// window, at the anchor asked for, and a link in the page moves to its place. The check for a web
// browser takes the desktop's answer when it comes.
#include "help/HelpWindow.h"
#include "help/WebBrowserCheck.h"
#include "services/QtUiServices.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>

using namespace vumo;

namespace
{

const QUrl kPage = QUrl::fromLocalFile(QStringLiteral(VUMO_HELP_PAGE));

QUrl at(const QString& anchor)
{
    QUrl url = kPage;
    url.setFragment(anchor);
    return url;
}

// The first character of the page whose format f keeps, or -1.
template <typename Keep> int positionWhere(const QTextBrowser& b, Keep keep)
{
    for (QTextBlock block = b.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (keep(it.fragment().charFormat()))
                return it.fragment().position();
    return -1;
}

// The scroll position that shows anchor at the top of the window (or as near as the page's end
// lets it), within the pixel the layout may round away.
int topOf(const QTextBrowser& b, const QString& anchor)
{
    const int position = positionWhere(b, [&anchor](const QTextCharFormat& f)
                                       { return f.anchorNames().contains(anchor); });
    if (position < 0)
        return -1;
    QTextCursor cursor(b.document());
    cursor.setPosition(position);
    const int y = int(b.document()->documentLayout()->blockBoundingRect(cursor.block()).top());
    return std::min(y, b.verticalScrollBar()->maximum());
}

bool showsAtTop(const QTextBrowser& b, const QString& anchor)
{
    const int top = topOf(b, anchor);
    return top >= 0 && std::abs(b.verticalScrollBar()->value() - top) <= 1;
}

} // namespace

help::HelpWindow* helpWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* h = qobject_cast<help::HelpWindow*>(w); h != nullptr && h->isVisible())
            return h;
    return nullptr;
}

// Puts an executable shell script `name` printing `output` into folder.
bool putProgram(const QString& folder, const char* name, const char* output)
{
    QFile f(folder + u'/' + QString::fromLatin1(name));
    const QByteArray text = QByteArray("#!/bin/sh\necho '") + output + "'\n";
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() &&
           f.setPermissions(f.permissions() | QFile::ExeOwner);
}

class HelpWindowTest : public QObject
{
    Q_OBJECT

private slots:
    // With no browser each topic opens the one help window at its place; a link moves to its
    // section; a page that is not there shows nothing.
    void opensAtTheAnchorAskedForAndALinkMovesToItsPlace()
    {
        QtUiServices ui;
        QList<QUrl> tried;
        ui.setWebBrowser(
            [&tried](const QUrl& url)
            {
                tried << url;
                return false;
            });
        QList<QUrl> asked;
        for (const char* anchor : {"Drum", "DelayEcho", "Select"})
        {
            asked << at(QString::fromLatin1(anchor));
            QVERIFY(ui.openUrl(asked.last()));
            QVERIFY(helpWindow() != nullptr);
            const QTextBrowser& b = *helpWindow()->browser();
            QVERIFY(b.verticalScrollBar()->maximum() > 0);
            QVERIFY2(showsAtTop(b, QString::fromLatin1(anchor)), anchor);
        }
        QCOMPARE(tried, asked); // the browser is always asked first
        QVERIFY(ui.openUrl(kPage));
        QTextBrowser& b = *helpWindow()->browser();
        QVERIFY(QTest::qWaitForWindowExposed(helpWindow()));
        QCOMPARE(b.verticalScrollBar()->value(), 0);
        const int link = positionWhere(b, [](const QTextCharFormat& f)
                                       { return f.anchorHref() == QStringLiteral("#Select"); });
        QVERIFY(link >= 0);
        QTextCursor cursor(b.document());
        cursor.setPosition(link + 1);
        QTest::mouseClick(b.viewport(), Qt::LeftButton, {}, b.cursorRect(cursor).center());
        QVERIFY(b.verticalScrollBar()->value() > 0);
        QVERIFY(showsAtTop(b, QStringLiteral("Select")));
        helpWindow()->close();
        QVERIFY(!ui.openUrl(QUrl::fromLocalFile(QStringLiteral(VUMO_HELP_PAGE) + u'x')));
        QVERIFY(helpWindow() == nullptr);
    }

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The programs on the path: the opener, the desktop's answer (none: no xdg-mime), a browser
    // the opener falls back to. Before the answer only the fallback counts.
    void browserCheckTakesTheDesktopsAnswer()
    {
        struct Row
        {
            bool opener;
            const char* handler;
            bool fallback;
            bool before, after;
        } rows[] = {
            {true, "firefox.desktop", false, false, true},
            {true, "", false, false, false},
            {true, "", true, true, true},
            {true, nullptr, false, false, false},
            {false, "firefox.desktop", true, false, false},
        };
        const QByteArray path = qgetenv("PATH");
        for (const Row& r : rows)
        {
            QTemporaryDir bin;
            QVERIFY(!r.opener || putProgram(bin.path(), "xdg-open", ""));
            QVERIFY(!r.handler || putProgram(bin.path(), "xdg-mime", r.handler));
            QVERIFY(!r.fallback || putProgram(bin.path(), "firefox", ""));
            qputenv("PATH", QFile::encodeName(bin.path()));
            help::WebBrowserCheck check;
            QSignalSpy answered(&check, &help::WebBrowserCheck::answered);
            if (!check.hasAnswered())
            {
                QCOMPARE(check.configured(), r.before);
                QVERIFY(answered.wait(5000));
            }
            QCOMPARE(check.configured(), r.after);
            qputenv("PATH", path);
        }
    }
#endif
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
