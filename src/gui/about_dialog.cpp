#include "gui/about_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/gui_ids.h"
#include "gui/pictures.h"

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setOrvexId(this, gui_id::ABOUT_DIALOG);
    setWindowTitle("About the Program");

    auto* picture = new QLabel(this);
    setOrvexId(picture, gui_id::ABOUT_PICTURE);
    picture->setPixmap(aboutPicture());
    picture->setAlignment(Qt::AlignTop);

    auto* group = new QGroupBox("Orvex N64 Emulator", this);
    auto* credits =
        new QLabel(QStringLiteral("Version %1\n\n"
                                  "Written by the Orvex developers.\n"
                                  "Guest code is translated into x86-64 code block by block;\n"
                                  "the rest of the console is emulated at the level of its\n"
                                  "registers and DMA transfers.\n\n"
                                  "Orvex is not affiliated with the maker of the console.\n"
                                  "Use it only with cartridge images you are entitled to.")
                       .arg(ORVEX_VERSION),
                   group);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(credits);

    auto* ok = new QPushButton("..oh yeah?", this);
    setOrvexId(ok, gui_id::OK);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addWidget(group, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::accept() {
    done(gui_id::OK);
}

void AboutDialog::reject() {
    done(gui_id::CANCEL);
}
