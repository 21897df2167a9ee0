// The ObjectBox tree: one root "MERIDYN objects", one item per object with a child per surface.
// A refresh keeps items that still exist (and their expansion), adds new ones at the end and
// drops vanished ones. Selecting an item selects its object and surface; editing an item's text
// asks for a rename (the tree never keeps the typed text itself).
#pragma once

#include <QHash>
#include <QIcon>
#include <QSet>
#include <QStringList>
#include <QTreeWidget>
#include <functional>
#include <string>
#include <vector>

class ObjectTree : public QTreeWidget {
    Q_OBJECT
  public:
    explicit ObjectTree(QWidget* parent = nullptr);

    void ResetTree();
    void BeginFill();
    // 1 when an item was added, 2 when one with the same text was there.
    int Fill(const std::string& label, const std::string& kindName, int image, int surfaceCount,
             const std::string& suffix = "");
    void FinishFill();
    // First object item whose text begins with `text`.
    QTreeWidgetItem* FindItemByPrefix(const QString& text) const;
    // Selects the item of the object labelled `label` (its text begins with label + "("), or its
    // n-th surface when the item is expanded. False when no item has the label.
    bool SelectTreeItem(const std::string& label, int surface);

    QTreeWidgetItem* root() const { return root_; }
    QTreeWidgetItem* selectedItem() const { return selectedItem_; }
    QTreeWidgetItem* selectedSurfaceItem() const { return selectedSurfaceItem_; }
    const std::string& selectedLabel() const { return selectedLabel_; }
    int selectedSurface() const { return selectedSurface_; }

    // What the window does on a selection, a double click and a rename.
    std::function<void(const std::string& label, int surface)> onSelected;
    std::function<void()> onDoubleClicked;
    std::function<void(const std::string& labelBefore, const std::string& newText)> onRename;

    // Starts editing an object item (F2 does the same).
    void editItem(QTreeWidgetItem* item);

  private:
    // The ObjectBox image of that index (made once).
    const QIcon& picture(int index);
    void selectionChanged(QTreeWidgetItem* current);
    void addSurfaces(QTreeWidgetItem* item, int surfaceCount);
    void forget(QTreeWidgetItem* item);

    // The object items' texts in tree order, kept beside the items so that a refresh of many
    // objects does not read every item's text for every object.
    struct Entry {
        QString text;
        QTreeWidgetItem* item;
    };
    std::vector<Entry> entries_;
    QHash<QString, QTreeWidgetItem*> byText_; // the first item of each text
    int suffixed_ = 0;                        // items whose text goes on after its ")"
    QTreeWidgetItem* lastAdded_ = nullptr;

    QTreeWidgetItem* root_ = nullptr;
    QTreeWidgetItem* selectedItem_ = nullptr;
    QTreeWidgetItem* selectedSurfaceItem_ = nullptr;
    std::string selectedLabel_;
    int selectedSurface_ = 1;
    QSet<QString> seenTexts_;
    std::vector<QIcon> pictures_;
};
