#include "ui/qt/object_tree.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include "ui/core/shell_text.h"
#include "ui/qt/pictures.h"

namespace {

// Hands the edited text to the tree's rename instead of storing it in the item.
class RenameDelegate : public QStyledItemDelegate {
  public:
    explicit RenameDelegate(ObjectTree* tree) : QStyledItemDelegate(tree), tree_(tree) {}
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        QStyledItemDelegate::setEditorData(editor, index);
        labelBefore_ = labelOfItemText(index.data().toString().toStdString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const override {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (!edit || !tree_->onRename) return;
        const std::string before = labelBefore_;
        const std::string text = edit->text().toStdString();
        // The rename runs commands that refresh this tree; let the editor close first.
        QMetaObject::invokeMethod(
            tree_, [tree = tree_, before, text] { tree->onRename(before, text); },
            Qt::QueuedConnection);
    }

  private:
    ObjectTree* tree_;
    mutable std::string labelBefore_;
};

} // namespace

ObjectTree::ObjectTree(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    header()->hide();
    setItemDelegate(new RenameDelegate(this));
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { selectionChanged(current); });
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem*, int) {
        if (onDoubleClicked) onDoubleClicked();
    });
    ResetTree();
}

void ObjectTree::ResetTree() {
    const QSignalBlocker block(this);
    clear();
    entries_.clear();
    byText_.clear();
    suffixed_ = 0;
    lastAdded_ = nullptr;
    selectedItem_ = selectedSurfaceItem_ = nullptr;
    root_ = new QTreeWidgetItem(this, QStringList(kTreeRootText));
    root_->setIcon(0, picture(kRootPicture));
    root_->setExpanded(true);
}

const QIcon& ObjectTree::picture(int index) {
    if (pictures_.empty())
        for (int i = 0; i <= kObjectPictureCount; ++i)
            pictures_.push_back(objectPicture(i));
    return pictures_[static_cast<std::size_t>(index >= 0 && index < kObjectPictureCount ? index : kObjectPictureCount)];
}

void ObjectTree::BeginFill() {
    seenTexts_.clear();
}

QTreeWidgetItem* ObjectTree::FindItemByPrefix(const QString& text) const {
    // Without suffixes every text is label(kind): one that begins with another whole text
    // equals it, so the first item of that text is the first match.
    if (suffixed_ == 0 && text.endsWith(')') && text.indexOf('(') == text.lastIndexOf('(')) {
        auto it = byText_.constFind(text);
        return it == byText_.constEnd() ? nullptr : it.value();
    }
    for (const auto& e : entries_)
        if (e.text.startsWith(text)) return e.item;
    return nullptr;
}

void ObjectTree::forget(QTreeWidgetItem* item) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->item != item) continue;
        if (!it->text.endsWith(')')) --suffixed_;
        const QString text = it->text;
        entries_.erase(it);
        if (byText_.value(text) == item) {
            byText_.remove(text);
            for (const auto& e : entries_)
                if (e.text == text) {
                    byText_.insert(text, e.item);
                    break;
                }
        }
        break;
    }
    if (lastAdded_ == item) lastAdded_ = nullptr;
}

void ObjectTree::addSurfaces(QTreeWidgetItem* item, int surfaceCount) {
    for (int i = 1; i <= surfaceCount; ++i) {
        auto* child = new QTreeWidgetItem(item, QStringList(QString("Surface%1").arg(i)));
        child->setIcon(0, picture(kSurfacePicture));
        child->setExpanded(true);
    }
}

int ObjectTree::Fill(const std::string& label, const std::string& kindName, int image,
                     int surfaceCount, const std::string& suffix) {
    const QString text = QString::fromStdString(treeItemText(label, kindName, suffix));
    QTreeWidgetItem* found = FindItemByPrefix(text);
    seenTexts_.insert(text);
    if (found) return 2;
    const QSignalBlocker block(this);
    auto* item = new QTreeWidgetItem(root_, QStringList(text));
    item->setIcon(0, picture(image));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    addSurfaces(item, surfaceCount);
    root_->setExpanded(true);
    item->setExpanded(true);
    entries_.push_back({text, item});
    if (!byText_.contains(text)) byText_.insert(text, item);
    if (!text.endsWith(')')) ++suffixed_;
    // Scrolled into view when the fill is finished (the last item added is the one seen).
    lastAdded_ = item;
    return 1;
}

void ObjectTree::FinishFill() {
    std::vector<QTreeWidgetItem*> stale;
    for (const auto& e : entries_)
        if (!seenTexts_.contains(e.text)) stale.push_back(e.item);
    for (QTreeWidgetItem* item : stale) {
        if (item == selectedItem_ || item->indexOfChild(selectedSurfaceItem_) >= 0)
            selectedItem_ = selectedSurfaceItem_ = nullptr;
        forget(item);
        const QSignalBlocker block(this);
        delete item;
    }
    seenTexts_.clear();
    if (lastAdded_) scrollToItem(lastAdded_);
    lastAdded_ = nullptr;
}

bool ObjectTree::SelectTreeItem(const std::string& label, int surface) {
    QTreeWidgetItem* current = currentItem();
    QTreeWidgetItem* item =
        label.empty() ? nullptr : FindItemByPrefix(QString::fromStdString(label + "("));
    selectedItem_ = item;
    if (!item) return false;
    if (item->isExpanded() && item->childCount() > 0) {
        QTreeWidgetItem* object = item;
        item = object->child(0);
        for (int i = 1; i < surface && item; ++i) {
            const int next = object->indexOfChild(item) + 1;
            item = next < object->childCount() ? object->child(next) : nullptr;
        }
        // An object without that surface (the last selection was surface 3 of a lens, the new
        // object a mirror) is selected whole, so the selection and the property sheet follow it
        // instead of staying on the old object.
        if (!item) {
            item = object;
            surface = 1;
        }
    }
    selectedSurface_ = surface < 1 ? 1 : surface;
    if (item && item != current) setCurrentItem(item);
    return true;
}

void ObjectTree::selectionChanged(QTreeWidgetItem* current) {
    if (!current || current == root_) return;
    if (current->parent() == root_) {
        selectedItem_ = current;
        selectedSurfaceItem_ = current->childCount() > 0 ? current->child(0) : nullptr;
    } else {
        selectedItem_ = current->parent();
        selectedSurfaceItem_ = current;
    }
    selectedSurface_ = selectedSurfaceItem_
                           ? surfaceNumberOfItemText(selectedSurfaceItem_->text(0).toStdString())
                           : 1;
    selectedLabel_ = labelOfItemText(selectedItem_->text(0).toStdString());
    if (onSelected) onSelected(selectedLabel_, selectedSurface_);
}

void ObjectTree::editItem(QTreeWidgetItem* item) {
    if (item && item != root_) QTreeWidget::editItem(item, 0);
}
