#include "TMain.h"

#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace lumidex {

// One line of a context menu: an item, a separator (empty name and caption) or a submenu.
struct PopupLine {
    const char* name;
    const char* caption;
    std::vector<PopupLine> children = {};
    bool submenu = false;
};

namespace {

PopupLine Sep() {
    return {"", ""};
}
PopupLine Sub(const char* name, const char* caption, std::vector<PopupLine> children = {}) {
    return {name, caption, std::move(children), true};
}

const std::vector<PopupLine>& ReferencePopupLines() {
    static const std::vector<PopupLine> lines = {
        {"ViewRefference2", "View &Reference"},
        Sep(),
        {"Clear1", "&Clear Selected Data Entry"},
        Sep(),
        {"CopyRef2", "Copy &Reference..."},
        {"MoveRef2", "Mo&ve Reference..."},
        {"DeleteRef2", "De&lete Reference"},
        {"CopyReferenceto1", "Copy Reference to"},
        {"MoveReferenceto1", "Move Reference to"},
        Sub("CopyReferencetp1", "Copy Reference to"),
        Sub("MoveReferenceto2", "Move Reference to"),
        Sep(),
        Sub("Shell1", "Shell", {{"Explore1", "E&xplore"}, Sep()}),
        Sep(),
        Sub("DataSet1", "Set &Memo"),
        Sep(),
        {"CopyFileName1", "Copy &FileName"},
        {"CopyImage1", "Copy &Image"},
        Sep(),
        {"SetBookmark1", "&Set Bookmark"},
        Sub("GotoBookmark1", "&Goto Bookmark", {Sep(), {"ShowPath1", "Show Path"}}),
        Sep(),
        Sub("Convert1", "Convert",
            {{"Jpeg1", "Save as JPEG"}, {"ActionSaveasPng1", "Save as PNG"}}),
    };
    return lines;
}

const std::vector<PopupLine>& TargetPopupLines() {
    static const std::vector<PopupLine> lines = {
        {"TiewTaget2", "View &Taget"},
        Sep(),
        {"Copy2", "&Copy Target..."},
        {"Move2", "&Move Target..."},
        {"Delete2", "&Delete Target"},
        {"Rename2", "&Rename Target..."},
        {"CopyTargetto1", "Copy Target to"},
        {"MoveTargetto1", "Move Target to"},
        Sub("CopyTargetto2", "Copy Target to"),
        Sub("MoveTargetto2", "Move Target to"),
        Sep(),
        Sub("Shell2", "Shell", {{"Explore2", "Explore"}, Sep()}),
        Sep(),
        Sub("SetMemo1", "Set Memo"),
        Sep(),
        {"FindinRefList1", "Find in Ref. List"},
        {"RemovefromList1", "Remove from List"},
        Sep(),
        {"CopyFileName2", "Copy FileName"},
        {"CopyImage2", "Copy Image"},
        Sep(),
        {"ListupBookMark", "Listup  BookMark"},
    };
    return lines;
}

} // namespace

void TMain::AddPopupLines(QMenu* menu, const std::vector<PopupLine>& lines) {
    for (const PopupLine& line : lines) {
        if (!*line.name) {
            menu->addSeparator();
        } else if (line.submenu) {
            QMenu* sub = menu->addMenu(line.caption);
            sub->setObjectName(line.name);
            sub->menuAction()->setObjectName(line.name);
            menus_[line.name] = sub;
            actions_[line.name] = sub->menuAction();
            AddPopupLines(sub, line.children);
        } else {
            QAction* action = menu->addAction(line.caption);
            action->setObjectName(line.name);
            actions_[line.name] = action;
        }
    }
}

void TMain::OpenListPopup(QMenu* menu, bool reference) {
    // Every item of a list's menu serves the one selected row; the areas refine it below.
    const bool one =
        reference ? ws_->lists.currentReference != nullptr : ws_->lists.target.SelectedCount() == 1;
    for (QAction* action : menu->actions())
        if (!action->isSeparator()) action->setEnabled(one);
    if (reference && !one) return;
    for (const PopupOpener& opener : popupOpeners_)
        opener(menu, reference);
}

void TMain::BuildPopupMenus() {
    leftPopup_ = new QMenu(this);
    leftPopup_->setObjectName("LeftPopupMenu");
    AddPopupLines(leftPopup_, ReferencePopupLines());
    rightPopup_ = new QMenu(this);
    rightPopup_->setObjectName("RightPopupMenu");
    AddPopupLines(rightPopup_, TargetPopupLines());
    actions_["ShowPath1"]->setCheckable(true);

    connect(actions_["ViewRefference2"], &QAction::triggered, this, &TMain::ViewLeftClick);
    connect(actions_["TiewTaget2"], &QAction::triggered, this, &TMain::ViewRightClick);
    connect(actions_["Clear1"], &QAction::triggered, this, &TMain::DeleteDataEntryClick);
    connect(actions_["FindinRefList1"], &QAction::triggered, this, &TMain::FindinRefListClick);
    connect(actions_["RemovefromList1"], &QAction::triggered, this, &TMain::RemovefromListClick);
    AddPopupOpener([this](QMenu*, bool reference) {
        // Removing works on every selected target, not only on one.
        if (!reference)
            actions_["RemovefromList1"]->setEnabled(ws_->lists.target.SelectedCount() > 0);
    });

    for (auto [view, menu, reference] :
         {std::tuple{listBox1_, leftPopup_, true}, std::tuple{listBox2_, rightPopup_, false}}) {
        connect(menu, &QMenu::aboutToShow, this,
                [this, menu, reference] { OpenListPopup(menu, reference); });
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [view, menu](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
    }
}

} // namespace lumidex
