#include "MenuCaptions.h"

namespace lumidex {

const std::vector<MenuCaption>& MenuCaptionTable() {
    static const std::vector<MenuCaption> table = {
        {"File1", "&File", "ファイル(&F)"},
        {"Open1", "Add &Pictures...", "画像の読み込み(Add &Pictures)..."},
        {"AddPicturefromDir1", "Add Pictures from &Folder...",
         "画像の一括読み込み(Add Pictures from &Folder)..."},
        {"Opendatabase1", "&Open Database...", "データベースの読み込み(&Open Database)..."},
        {"Savedatabase1", "&Save Database", "データベースの保存(&Save Database)"},
        {"MergeDatabase1", "&Import Database...",
         "データベースの追加読み込み(&Import Database)..."},
        {"Savedatabaseas1", "Save Database &As...",
         "データベースに名前を付けて保存(Save Database &As)..."},
        {"Exit1", "&Exit", "終了(&Exit)"},
        {"ClearHistory1", "&Clear History", "ファイル履歴のクリア(&Clear History)"},
        {"OptimizeHistory1", "&Optimize History",
         "存在しないファイル名をファイル履歴から削除(&Optimize History)"},
        {"DataBase1", "&Database", "データベース(&D)"},
        {"ClearAllDataEntry1", "Clear &All Data Entries",
         "すべての項目を削除(Clear &All Data Entries)"},
        {"ClearAllDataEntryinRefList1", "Clear All Data Entries in &Ref. List",
         "左リストの項目をすべて削除(Clear All Data Entries in &Ref. List)"},
        {"DeleteDataEntry1", "&Clear Selected Data Entry",
         "選択した項目を削除(&Clear Selected Data Entry)"},
        {"ReanalizeAllinRefList1", "Reanalize All in Ref. &List",
         "左リストの項目をすべて再評価(Reanalize All in Ref. &List)"},
        {"Makemismatch1", "&Make Mismatch", "ミスマッチリストに登録(&Make Mismatch)"},
        {"MemoEditor1", "M&emo Manager...", "メモマネージャを表示(M&emo Manager)..."},
        {"ExportMemo1", "&Export Memo...", "メモをファイルに保存(&Export Memo)..."},
        {"FolderExplorer1", "&Folder Explorer...",
         "フォルダエクスプローラを表示(&Folder Explorer...)"},
        {"ImportMemo1", "&Import Memo...", "メモをファイルから読み込み(&Import Memo)..."},
        {"Action1", "&ImageList", "画像リスト(&I)"},
        {"ViewRefference1", "View &Reference", "左リストの画像をプレビュー(View &Reference)"},
        {"TiewTaget1", "View &Taget", "右リストの画像をプレビュー(View &Taget)"},
        {"CopyRef1", "Co&py Reference...", "左リストのファイルをコピー(Co&py Reference)..."},
        {"MoveRef1", "Mo&ve Reference...", "左リストのファイルを移動(Mo&ve Reference)..."},
        {"DeleteRef1", "De&lete Reference", "左リストのファイルを削除(De&lete Reference)"},
        {"Copy1", "&Copy Target...", "右リストのファイルをコピー(&Copy Target)..."},
        {"Move1", "&Move Target...", "右リストのファイルを移動(&Move Target)..."},
        {"Delete1", "&Delete Target", "右リストのファイルを削除(&Delete Target)"},
        {"Rename1", "&Rename Target...", "右リストのファイル名を変更(&Rename Target)..."},
        {"Refind1", "Re&fresh", "リストの表示を更新(Re&fresh)"},
        {"CopyRefListToClipboard1", "Copy List to Clipboard(&E)",
         "左リストをクリップボードにコピー(Copy List to Clipboard(&E))"},
        {"CopyPairListtoClipboardE1", "Copy &Pair List to Clipboard",
         "左リストを類似情報付きでクリップボードにコピー(Copy &Pair List to Clipboard)"},
        {"ImportListfromClipboard1", "Search List from &Clipboard",
         "クリップボードから左リストに取り込み(Search List by Clipboard)"},
        {"ImportListfromClipboard2", "&Import List from Clipboard",
         "クリップボードのデータをデータベースに取り込み(&Import List from Clipboard)"},
        {"OverwrightMoveRefTarg1", "Overwrite Move Ref -> Targ",
         "左リストのファイルを右リストのファイル名で移動(Overwrite Move Ref -> Targ)"},
        {"OverwrightMoveRefTarg2", "Overwrite Move Ref <- Targ",
         "右リストのファイルを左リストのファイル名で移動(Overwrite Move Ref <- Targ)"},
        {"Option1", "&Tool", "ツール(&T)"},
        {"Setup1", "&Option...", "動作環境の設定(&Option)..."},
        {"ShowNavigator1", "Show &Navigator", "ナビゲータウィンドウを表示(Show &Navigator)"},
        {"ShowThumnail1", "Show &Thumbnail Window",
         "サムネールウィンドウを表示(Show &Thumbnail Window)"},
        {"SearchUnlinkedData", "Search &Unlinked Data...",
         "削除/移動されたファイルの検索(Search &Unlinked Data)..."},
        {"ChangeAllFilePath1", "&Change All File Path...",
         "ファイルパスの一括変更(&Change All File Path)..."},
        {"ActionMovePath", "&Move Folder...", "フォルダの内容を一括移動(&Move Folder...)"},
        {"ChangeFilenamewithCSV1", "Change Filename with CS&V...",
         "リネームツールで作成したCSVファイルを読み込んでファイル名を変更(Change Filename with "
         "CS&V)..."},
        {"SetSusiePlugins1", "Set Susie &Plugins",
         "Ｓｕｓｉｅプラグインの設定(Set Susie &Plugins)"},
        {"SetPluginDirectory1", "Set Plugin &Folder...",
         "プラグインの場所の設定(Set Plugin &Folder)..."},
        {"StopUsingPlugins1", "Stop &Using Plugins", "プラグインの使用を中止(Stop &Using Plugins)"},
        {"RunGlimpser1", "Run &Glimpser", "Glimpserを起動(Run &Glimpser)"},
        {"RunTinter1", "&Run Tinter", "Tinterを起動(&Run Tinter)"},
        {"SendTinter1", "&Send Tinter", "画像をTinterで開く(&Send Tinter)"},
        {"RunJoiner1", "Run &Joiner", "Joinerを起動(Run &Joiner)"},
        {"SendJoinerLeft1", "Send Joiner &Left", "Joinerの左に読み込み(Send Joiner &Left)"},
        {"SendJoinerRight1", "Send Joiner &Right", "Joiner の右に読み込み(Send Joiner &Right)"},
        {"MenuMismatchEditor", "&Mismatch Editor...",
         "ミスマッチリストの編集(&Mismatch Editor)..."},
        {"SlideShow1", "&Slide Show...", "スライドショー(&Slide Show)..."},
        {"SynthesisView1", "S&ynthesis View", "合成ビュー(S&ynthesis View)"},
        {"SyncMemo1", "Synchronize &Memo", "メモを同期させる(Synchronize &Memo)"},
        {"CompairwithClipboard1", "Compare with &Clipboard",
         "クリップボードの画像と似た画像を検索(Compare with &Clipboard)"},
        {"Help1", "&Help", "ヘルプ(&H)"},
        {"Help2", "&Help", "マニュアルの表示(&Help)"},
        {"About1", "&About...", "バージョン情報(&About)..."},
    };
    return table;
}

const char* MenuCaptionFor(const std::string& name, int language) {
    if (language != 0 && language != 1) return nullptr;
    for (const MenuCaption& row : MenuCaptionTable())
        if (name == row.name) return language == 0 ? row.english : row.japanese;
    return nullptr;
}

bool SetMenuLanguage(int language,
                     const std::function<void(const std::string&, const std::string&)>& assign) {
    if (language != 0 && language != 1) return false;
    for (const MenuCaption& row : MenuCaptionTable())
        assign(row.name, language == 0 ? row.english : row.japanese);
    return true;
}

namespace {

MenuNode Item(const char* name, const char* shortcut = "") {
    MenuNode n;
    n.name = name;
    n.captionKey = name;
    n.shortcut = shortcut;
    return n;
}

MenuNode Hidden(const char* name) {
    MenuNode n = Item(name);
    n.hidden = true;
    return n;
}

MenuNode Separator(const char* name = "") {
    MenuNode n;
    n.name = name;
    n.separator = true;
    return n;
}

MenuNode Menu(const char* name, std::vector<MenuNode> children) {
    MenuNode n = Item(name);
    n.children = std::move(children);
    return n;
}

} // namespace

const std::vector<MenuNode>& MainMenuLayout() {
    static const std::vector<MenuNode> layout = [] {
        MenuNode movePath = Item("MovePath1");
        movePath.captionKey = "ActionMovePath";
        return std::vector<MenuNode>{
            Menu("File1",
                 {Item("Open1"), Item("AddPicturefromDir1"), Separator(), Item("Opendatabase1"),
                  Item("Savedatabase1"), Item("MergeDatabase1"), Item("Savedatabaseas1"),
                  Separator(), Item("Exit1"), Separator(), Item("ClearHistory1"),
                  Item("OptimizeHistory1"), Separator("HistorySeparator")}),
            Menu("DataBase1",
                 {Item("ClearAllDataEntry1"), Item("ClearAllDataEntryinRefList1"),
                  Item("DeleteDataEntry1"), Separator(), Item("ReanalizeAllinRefList1"),
                  Separator(), Item("Makemismatch1"), Separator(), Item("MemoEditor1"),
                  Item("FolderExplorer1"), Separator(), Item("ExportMemo1"), Item("ImportMemo1")}),
            Menu("Action1", {Item("ViewRefference1", "Ctrl+V"),
                             Item("TiewTaget1", "Ctrl+Alt+V"),
                             Separator(),
                             Item("CopyRef1", "Ctrl+C"),
                             Item("MoveRef1", "Ctrl+M"),
                             Item("DeleteRef1", "Ctrl+D"),
                             Separator(),
                             Item("Copy1", "Ctrl+Alt+C"),
                             Item("Move1", "Ctrl+Alt+M"),
                             Item("Delete1", "Ctrl+Alt+D"),
                             Item("Rename1"),
                             Separator(),
                             Item("OverwrightMoveRefTarg1"),
                             Item("OverwrightMoveRefTarg2"),
                             Separator(),
                             Item("Refind1"),
                             Separator(),
                             Item("CopyRefListToClipboard1"),
                             Item("CopyPairListtoClipboardE1"),
                             Item("ImportListfromClipboard1"),
                             Item("ImportListfromClipboard2")}),
            Menu("Option1", {Item("Setup1"),
                             Item("ShowNavigator1"),
                             Item("ShowThumnail1"),
                             Separator(),
                             Item("SearchUnlinkedData"),
                             Item("ChangeAllFilePath1"),
                             movePath,
                             Separator(),
                             Item("ChangeFilenamewithCSV1"),
                             Separator(),
                             Menu("SetSusiePlugins1",
                                  {Item("SetPluginDirectory1"), Item("StopUsingPlugins1")}),
                             Hidden("RunGlimpser1"),
                             Hidden("RunTinter1"),
                             Hidden("SendTinter1"),
                             Hidden("RunJoiner1"),
                             Hidden("SendJoinerLeft1"),
                             Hidden("SendJoinerRight1"),
                             Separator(),
                             Item("MenuMismatchEditor"),
                             Item("SlideShow1"),
                             Item("SynthesisView1"),
                             Item("SyncMemo1"),
                             Separator(),
                             Item("CompairwithClipboard1")}),
            Menu("Help1", {Item("Help2"), Item("About1")}),
        };
    }();
    return layout;
}

} // namespace lumidex
