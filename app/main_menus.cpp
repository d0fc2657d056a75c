#include "app/main_menus.h"

#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/kinds/line_array_kind.h"
#include "editor/qt/ui_bindings.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <map>

namespace vendrel {

TWindowCommands::TWindowCommands() {
    for (TUIAction* a : {&LeftToolPanelItem, &SPLBarPanelItem, &ConfigPanelItem}) {
        a->Checkable = true;
        a->AutoCheck = true;
        a->SetChecked(true);
    }
    ShortCutsItem.Checkable = true;
    ShortCutsItem.AutoCheck = true;
}

std::vector<TMenuItem> MainMenuTable(TEditor& Ed, TDocuments& Docs, TWindowCommands& Win) {
    TViewsCameras& v = Ed.Views;
    TGridAxes& g = Ed.Grid;
    TRenderControl& r = Ed.Render;
    TColorMapping& c = Ed.Colors;
    std::vector<TMenuItem> t = {
        {"&File", nullptr, &Docs.NewAction, "NewAction"},
        {"&File", nullptr, &Docs.OpenAction, "OpenAction"},
        {"&File", nullptr, &Docs.OpenTemplateItem, "OpenTemplateItem"},
        {"&File", "Open Recent", nullptr, "ReOpenItem"},
        {"&File", nullptr, nullptr, nullptr},
        {"&File", nullptr, &Docs.SaveAction, "SaveAction"},
        {"&File", nullptr, &Docs.SaveAsAction, "SaveAsAction"},
        {"&File", nullptr, &Win.SaveReportAction, "SaveReportAction"},
        {"&File", nullptr, nullptr, nullptr},
        {"&File", nullptr, &Win.ExitAction, "ExitAction"},

        {"&Edit", nullptr, &Ed.Selection.DeleteAction, "DeleteAction"},
        {"&Edit", nullptr, &Ed.Selection.ApplyOfssetAction, "ApplyOfssetAction"},
        {"&Edit", nullptr, &Ed.PanelSwitching.ListAllZonesAction, "ListAllZonesAction"},

        {"&Project", nullptr, &Ed.Adding.AddCabinetAction, "AddCabinetItem"},
        {"&Project", nullptr, &Ed.Kinds.Get<TLineArrayKind>()->AddLineArrayAction, "AddLineArrayAction"},
        {"&Project", nullptr, &Ed.Adding.AddSurfaceButton, "AddSurfaceItem"},
        {"&Project", nullptr, &Ed.Adding.AddTrapeziumButton, "AddTrapeziumItem"},
        {"&Project", nullptr, &Ed.Adding.DrawSurfaceAction, "DrawSurfaceItem"},

        {"&View", nullptr, &v.ThreeDviewAction, "ThreeDviewAction"},
        {"&View", nullptr, &v.SideViewAction, "SideViewAction"},
        {"&View", nullptr, &v.TopViewAction, "TopViewAction"},
        {"&View", nullptr, &v.FrontViewAction, "FrontViewAction"},
        {"&View", nullptr, nullptr, nullptr},
        {"&View", nullptr, &v.ZoomItemIn, "ZoomItemIn"},
        {"&View", nullptr, &v.ZoomItemOut, "ZoomItemOut"},
        {"&View", nullptr, &v.ZoomToObjectB, "ZoomToObjectB"},
        {"&View", "Camera Target", &v.ResetCenterItem, "ResetCenterItem"},
        {"&View", "Camera Target", &v.CenterSelItem, "CenterSelItem"},
        {"&View", nullptr, nullptr, nullptr},
        {"&View", nullptr, &g.ShowThrowItem, "ShowThrowItem"},
        {"&View", nullptr, &g.ShowCoverageItem, "ShowCoverageItem"},
        {"&View", nullptr, &g.ShowFloorItem, "ShowFloorItem"},
        {"&View", nullptr, &g.ShowZoneEdgesItem, "ShowZoneEdgesItem"},
        {"&View", nullptr, &g.ShowAxisNumbersItem, "ShowAxisNumbersItem"},
        {"&View", nullptr, nullptr, nullptr},
        {"&View", nullptr, &Win.LeftToolPanelItem, "LeftToolPanelItem"},
        {"&View", nullptr, &Win.SPLBarPanelItem, "SPLBarPanelItem"},
        {"&View", nullptr, &Win.ConfigPanelItem, "ConfigPanelItem"},
        {"&View", "Show Panel", &Win.ShowVenuePage, "ShowVenuePage"},
        {"&View", "Show Panel", &Win.ShowArraysPage, "ShowArraysPage"},
        {"&View", "Show Panel", &Win.ShowCabinetsPage, "ShowCabinetsPage"},
        {"&View", "Show Panel", &Win.ShowResponsePage, "ShowResponsePage"},
        {"&View", nullptr, &Win.ShortCutsItem, "ShortCutsItem"},

        {"&Options", nullptr, &r.RenderConfigItem, "RenderConfigItem"},
        {"&Options", nullptr, &r.ContinuousRenderItem, "ContinuousRenderItem"},
    };
    for (TUIAction* item : r.RenderQualityItems()) {
        t.push_back({"&Options", "Render Resolution", item, nullptr});
    }
    t.push_back({"&Options", nullptr, &r.AirAbsoptionItem, "AirAbsoptionItem"});
    t.push_back({"&Options", nullptr, &r.UseListeningPlaneFoRaysMenuItem, "UseListeningPlaneFoRaysMenuItem"});
    t.push_back({"&Options", nullptr, &Ed.Moving.MagneticMenuItem, "MagneticMenuItem"});
    t.push_back({"&Options", nullptr, nullptr, nullptr});
    for (TUIAction* item : c.PaletteItems()) {
        t.push_back({"&Options", "Mapping Colors", item, nullptr});
    }
    t.push_back({"&Options", nullptr, &c.ClearMappingColorsAction, "ClearMappingColorsAction"});
    t.push_back({"&Help", nullptr, &Win.DumpLogMenuItem, "DumpLogMenuItem"});
    t.push_back({"&Help", nullptr, &Win.AboutItem, "AboutItem"});
    return t;
}

std::vector<TMenuItem> SceneMenuTable(TEditor& Ed) {
    return {
        {"", nullptr, &Ed.Adding.AddCabinetAction, nullptr},
        {"", nullptr, &Ed.Kinds.Get<TLineArrayKind>()->AddLineArrayAction, nullptr},
        {"", nullptr, &Ed.Adding.AddZoneAction, "AddZoneMenuItem"},
        {"", nullptr, nullptr, nullptr},
        {"", nullptr, &Ed.Selection.DeleteAction, nullptr},
        {"", nullptr, &Ed.Selection.ApplyOfssetAction, nullptr},
        {"", nullptr, &Ed.PanelSwitching.ListAllZonesAction, nullptr},
    };
}

void BuildMenus(QMenuBar* Bar, QMenu* Single, const std::vector<TMenuItem>& Table, TActionTable& Actions,
                std::vector<std::pair<std::string, QMenu*>>* Named) {
    std::map<std::string, QMenu*> menus;
    std::map<std::string, QMenu*> submenus;
    for (const TMenuItem& item : Table) {
        QMenu* menu = Single;
        if (menu == nullptr) {
            QMenu*& m = menus[item.Menu];
            if (m == nullptr) {
                m = Bar->addMenu(QString::fromUtf8(item.Menu));
            }
            menu = m;
        }
        if (item.SubMenu != nullptr) {
            QMenu*& sub = submenus[std::string(item.Menu) + "/" + item.SubMenu];
            if (sub == nullptr) {
                sub = menu->addMenu(QString::fromUtf8(item.SubMenu));
                if (item.Action == nullptr && item.Name != nullptr) {
                    sub->setObjectName(QString::fromLatin1(item.Name));
                    if (Named != nullptr) {
                        Named->push_back({item.Name, sub});
                    }
                }
            }
            menu = sub;
        }
        if (item.Action != nullptr) {
            menu->addAction(Actions.Of(*item.Action, item.Name));
        } else if (item.SubMenu == nullptr) {
            menu->addSeparator();
        }
    }
}

} // namespace vendrel
