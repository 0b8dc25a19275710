#pragma once

class QDialog;
class QFormLayout;
class QPushButton;

// The small forms of this family: their fields above, the save button and
// the close button at the right below; closing ends the dialog with 2.
void layOutMemoForm(QDialog *dialog, QFormLayout *form, QPushButton *memo, QPushButton *close);
