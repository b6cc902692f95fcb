// The main window's ROM tree: a tree widget that the ROM tree logic fills
// (one node per ROM directory, one entry per ROM image), showing the country
// pictures. A ROM node carries its RomEntry; directory nodes carry none.
#pragma once

#include <QTreeWidget>

#include "browser/rom_tree.h"

class RomTreeWidget : public QTreeWidget, public RomTreeSink {
    Q_OBJECT
  public:
    explicit RomTreeWidget(QWidget* parent = nullptr);

    // True when all seven pictures could be made.
    bool hasAllImages() const { return imagesMade_ == TREE_IMAGE_COUNT; }
    // The ROM entry of a node; null for directory nodes and null items.
    static RomEntry* entryOf(const QTreeWidgetItem* item);
    // The node whose text is `text`, searched depth first; null when none.
    QTreeWidgetItem* findNode(const QString& text) const;

    // RomTreeSink.
    void clearTree() override;
    Node insertTreeItem(const char* text, int kind, int image, int selectedImage,
                        RomEntry* entry) override;
    void setSelectedImage(Node node, int image) override;

  private:
    QIcon icon(int image, int selectedImage) const;

    QPixmap images_[TREE_IMAGE_COUNT];
    int imagesMade_ = 0;
    QTreeWidgetItem* lastDirectory_ = nullptr;
};
