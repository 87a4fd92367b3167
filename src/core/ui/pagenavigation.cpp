#include "pagenavigation.h"

#include "linklabel.h"
#include "named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

namespace vorlan {

PageNavigation::PageNavigation(QWidget *owner, std::function<int(int)> showPage, bool allowMinus, int jumpBoxWidth)
    : QObject(owner)
    , m_showPage(std::move(showPage))
{
    const QString texts[5] = {QStringLiteral("回首页"), QStringLiteral("上一页"), QStringLiteral("下一页"),
                              QStringLiteral("到尾页"), QStringLiteral("刷新")};
    LinkLabel *links[5];
    for (int i = 0; i < 5; ++i) {
        links[i] = named(new LinkLabel(texts[i], owner), QStringLiteral("透明标签%1").arg(i + 1));
        m_links[i] = links[i];
    }
    auto *jumpButton = named(new QPushButton(QStringLiteral("跳到"), owner), QStringLiteral("跳到_"));
    jumpButton->setAutoDefault(false);
    m_jumpButton = jumpButton;
    m_jumpBox = named(new QLineEdit(owner), QStringLiteral("编辑框1"));
    m_jumpBox->setFixedWidth(jumpBoxWidth);
    m_jumpBox->setAlignment(Qt::AlignCenter);
    const QString pattern = allowMinus ? QStringLiteral("-?[0-9]{0,6}") : QStringLiteral("[0-9]{0,6}");
    m_jumpBox->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), m_jumpBox));
    m_pageWord = named(new QLabel(QStringLiteral("页"), owner), QStringLiteral("透明标签6"));
    m_pageLabel = named(new QLabel(QStringLiteral("1"), owner), QStringLiteral("透明标签_当前页位置"));
    m_pageCountLabel = named(new QLabel(QStringLiteral("/"), owner), QStringLiteral("透明标签_总页数"));

    connect(links[0], &LinkLabel::pressed, this, [this] {
        if (!onFirstPage())
            m_showPage(1);
    });
    connect(links[1], &LinkLabel::pressed, this, [this] {
        if (!onFirstPage())
            m_showPage(currentPage() - 1);
    });
    connect(links[2], &LinkLabel::pressed, this, [this] {
        if (!onLastPage())
            m_showPage(currentPage() + 1);
    });
    connect(links[3], &LinkLabel::pressed, this, [this] {
        if (!onLastPage())
            m_showPage(-1);
    });
    connect(links[4], &LinkLabel::pressed, this, [this] { m_showPage(currentPage()); });
    connect(jumpButton, &QPushButton::clicked, this, &PageNavigation::jump);
    connect(m_jumpBox, &QLineEdit::returnPressed, this, &PageNavigation::jump);
}

QHBoxLayout *PageNavigation::buildRow(int spacing)
{
    auto *row = new QHBoxLayout;
    for (QWidget *link : m_links)
        row->addWidget(link);
    row->addSpacing(spacing);
    row->addWidget(m_jumpButton);
    row->addWidget(m_jumpBox);
    row->addWidget(m_pageWord);
    row->addSpacing(spacing);
    auto *pageNumbers = new QHBoxLayout;
    pageNumbers->setSpacing(0);
    pageNumbers->addWidget(m_pageLabel);
    pageNumbers->addWidget(m_pageCountLabel);
    row->addLayout(pageNumbers);
    row->addStretch(1);
    return row;
}

int PageNavigation::currentPage() const { return m_pageLabel->text().toInt(); }

void PageNavigation::showPosition(int page, int pageCount)
{
    m_pageCountLabel->setText(QStringLiteral("/%1").arg(pageCount));
    m_pageLabel->setText(QString::number(page));
}

void PageNavigation::jump() { m_jumpBox->setText(QString::number(m_showPage(m_jumpBox->text().toInt()))); }

bool PageNavigation::onFirstPage() const { return m_pageLabel->text() == QLatin1String("1"); }

// The labels compare as texts: "/" alone (nothing listed yet) never equals "/" + a page.
bool PageNavigation::onLastPage() const
{
    return QLatin1Char('/') + m_pageLabel->text() == m_pageCountLabel->text();
}

void selectRowNear(QTreeWidget *list, int index)
{
    index = qMin(index, list->topLevelItemCount() - 1);
    if (index < 0)
        return;
    list->setCurrentItem(list->topLevelItem(index));
    list->scrollToItem(list->topLevelItem(index));
}

} // namespace vorlan
