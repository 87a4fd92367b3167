#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QWidget;

namespace vorlan {

// The controls of a list shown 200 rows a page: 回首页, 上一页, 下一页, 到尾页, 刷新, the
// 跳到 button with its page box, and the current page beside "/page count". The widgets
// belong to the owner window, under the names the paged windows share.
class PageNavigation final : public QObject
{
    Q_OBJECT
public:
    // `showPage` shows a page (-1 the last) and returns the page it showed. The jump box
    // takes up to six digits, and a minus sign when `allowMinus` is set.
    PageNavigation(QWidget *owner, std::function<int(int page)> showPage, bool allowMinus, int jumpBoxWidth);

    // The links, the jump controls and the page numbers in a row, then a stretch.
    QHBoxLayout *buildRow(int spacing);
    int currentPage() const;
    void showPosition(int page, int pageCount);
    void jump();

private:
    bool onFirstPage() const;
    bool onLastPage() const;

    std::function<int(int)> m_showPage;
    QWidget *m_links[5] = {};
    QWidget *m_jumpButton = nullptr;
    QLineEdit *m_jumpBox = nullptr;
    QLabel *m_pageWord = nullptr;
    QLabel *m_pageLabel = nullptr;
    QLabel *m_pageCountLabel = nullptr;
};

// After a row was deleted and its page shown again: selects the row now at `index`, or
// the last row when the page got shorter.
void selectRowNear(QTreeWidget *list, int index);

} // namespace vorlan
