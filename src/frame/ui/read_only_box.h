#pragma once

#include <QLineEdit>
#include <QString>

namespace quad {

/// A box that shows a value the clerk chooses elsewhere (an office's folder, picked with
/// "Sfoglia"): it takes the focus, its text can be selected and copied, and it is never typed into.
/// A screen reader announces it by its label as read-only text, never as a box to type in; while
/// the label reads nothing, by nome.
class ReadOnlyBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit ReadOnlyBox(const QString& nome, QWidget* parent = nullptr);

    /// The name announced while the label reads nothing.
    QString nome() const { return m_nome; }

private:
    QString m_nome;
};

} // namespace quad
