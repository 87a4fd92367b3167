#pragma once

#include <QComboBox>

#include <functional>

namespace vorlan {

// A combo box that runs a hook just before its list drops down, so that a list kept in a
// database table shows what other windows have added since it was last filled.
class RefreshingComboBox final : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void setBeforePopup(std::function<void()> hook) { m_beforePopup = std::move(hook); }
    void showPopup() override
    {
        if (m_beforePopup)
            m_beforePopup();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_beforePopup;
};

} // namespace vorlan
