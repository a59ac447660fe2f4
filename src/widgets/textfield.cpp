#include "textfield.h"

#include <QLineEdit>
#include <limits>

QLineEdit *newTextField(QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setMaxLength(std::numeric_limits<int>::max());
    return field;
}
