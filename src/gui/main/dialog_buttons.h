#pragma once

class QDialog;
class QDialogButtonBox;

// The OK and "Отмена" buttons of a dialog, wired to accept and reject.
QDialogButtonBox* OkCancelButtons(QDialog* dialog);
