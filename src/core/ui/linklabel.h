#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace vorlan {

// A label used as a link: it reacts to the mouse button being pressed on it.
class LinkLabel final : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr)
        : QLabel(text, parent)
    {
        setCursor(Qt::PointingHandCursor);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, QColor(0, 0, 204));
        setPalette(p);
    }

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            emit pressed();
        QLabel::mousePressEvent(event);
    }
};

} // namespace vorlan
