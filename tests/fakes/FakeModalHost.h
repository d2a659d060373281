#pragma once
// Shows a dialog without a nested event loop: the test's script acts on it while it is
// open (clicks, keys), and its result is whatever the script left.

#include "app/shell/ModalHost.h"

#include <QDialog>

#include <functional>

struct FakeModalHost : ModalHost {
    std::function<void(QDialog&)> whileOpen;
    int shownCount = 0;

    int ShowModalForm(QDialog& form) override
    {
        ++shownCount;
        form.setResult(QDialog::Rejected);
        form.show();
        if (whileOpen)
            whileOpen(form);
        if (form.isVisible())
            form.reject();   // a script that leaves it open closes it as the close box would
        return form.result();
    }
};
