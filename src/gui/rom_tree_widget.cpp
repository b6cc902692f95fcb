#include "gui/rom_tree_widget.h"

#include <QHeaderView>

#include "gui/pictures.h"

namespace {

constexpr int ENTRY_ROLE = Qt::UserRole;
constexpr int IMAGE_ROLE = Qt::UserRole + 1;

} // namespace

RomTreeWidget::RomTreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setIconSize(QSize(16, 16));
    setSortingEnabled(false);
    for (int i = 0; i < TREE_IMAGE_COUNT; ++i) {
        images_[i] = treeImage(TREE_IMAGE_IDS[i]);
        if (!images_[i].isNull()) ++imagesMade_;
    }
}

RomEntry* RomTreeWidget::entryOf(const QTreeWidgetItem* item) {
    if (!item) return nullptr;
    return static_cast<RomEntry*>(item->data(0, ENTRY_ROLE).value<void*>());
}

QTreeWidgetItem* RomTreeWidget::findNode(const QString& text) const {
    const QList<QTreeWidgetItem*> found = findItems(text, Qt::MatchExactly | Qt::MatchRecursive, 0);
    return found.isEmpty() ? nullptr : found.first();
}

QIcon RomTreeWidget::icon(int image, int selectedImage) const {
    QIcon result;
    const int normal = treeImageIndex(image);
    const int selected = treeImageIndex(selectedImage);
    if (normal >= 0) result.addPixmap(images_[normal], QIcon::Normal);
    if (selected >= 0) result.addPixmap(images_[selected], QIcon::Selected);
    return result;
}

void RomTreeWidget::clearTree() {
    clear();
    lastDirectory_ = nullptr;
}

RomTreeSink::Node RomTreeWidget::insertTreeItem(const char* text, int kind, int image,
                                                int selectedImage, RomEntry* entry) {
    QTreeWidgetItem* item;
    if (kind == TREE_ITEM_ROM && lastDirectory_) {
        item = new QTreeWidgetItem(lastDirectory_);
    } else {
        item = new QTreeWidgetItem(this);
        if (kind == TREE_ITEM_DIRECTORY) lastDirectory_ = item;
    }
    item->setText(0, QString::fromLocal8Bit(text));
    item->setIcon(0, icon(image, selectedImage));
    item->setData(0, IMAGE_ROLE, image);
    item->setData(0, ENTRY_ROLE, QVariant::fromValue(static_cast<void*>(entry)));
    return item;
}

void RomTreeWidget::setSelectedImage(Node node, int image) {
    auto* item = static_cast<QTreeWidgetItem*>(node);
    if (!item) return;
    item->setIcon(0, icon(item->data(0, IMAGE_ROLE).toInt(), image));
}
