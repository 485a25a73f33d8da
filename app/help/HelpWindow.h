// HelpWindow: the help page shown inside the studio when no web browser can show it: the page in
// a rich-text browser whose links work (anchors within the page, the page's other local pages,
// outside addresses handed to the system), with Back, Contents and Close.
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace vumo::help
{

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the window with the local page of url, scrolled to url's anchor when it has one;
    // false (nothing shown) when url names no readable local file.
    bool showPage(const QUrl& url);
    QTextBrowser* browser() const { return m_browser; }

private:
    void contents();

    QTextBrowser* m_browser;
    QUrl m_page; // the page last asked for, without its anchor
};

} // namespace vumo::help
