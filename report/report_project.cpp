// The project information at the top of the first page and the four standard views.

#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "report/report.h"
#include "report/report_pictures.h"

namespace vendrel {

void TReport::WriteProjectInformation() {
    ProgressStep("Project Information");
    SetTitleStyle();
    FLastRect = FWriter.DrawText("Project Information", {FWriteX, FWriteY});
    FWriteY += FLastRect.Height() + 20.0f;
    FWriteX += 15.0f;

    SetBodyStyle();
    FLabelX = FWriteX;
    FValueX = FWriteX + FWriter.MeasureText("Included Air Absorption Loss:").Width() + 10.0f;
    const auto line = [this](const std::string& Label, const std::string& Value) {
        WriteLine(Label, Value, 0.0f);
        FWriteY += 10.0f;
    };
    line("Project Name:", FContext.InstallName);
    line("Created by: ", FContext.CreatedBy);

    FWriter.DrawText("Description: ", {FLabelX, FWriteY});
    FImageRect = {FValueX, FWriteY, FPageRight, FWriteY + 80.0f};
    FLastRect = FWriter.DrawTextInRect(OneParagraph(FContext.Description), FImageRect);
    FWriteY += FLastRect.Height() + 20.0f;

    line("Location Coordinates:", FContext.Coordinates);
    line("Temperature: ", FContext.Temperature + FContext.TempUnitText);
    line("Relative. Humidity: ", FContext.Humidity + FContext.HumidityUnitText);
    const bool airLoss = FProject.PhysicalSpace() != nullptr && FProject.PhysicalSpace()->AirLoss();
    line("Included Air Absorption Loss:", airLoss ? "Yes" : "No");
}

void TReport::WriteViewPages() {
    struct View {
        TViewType Type;
        const char* Step;
        const char* Title;
    };
    static constexpr View kViews[] = {{TViewType::qzaThreeDView, "3D View", "3D view"},
                                      {TViewType::qzaTopView, "Top View", "Top view"},
                                      {TViewType::qzaSideView, "Side View", "Side view"},
                                      {TViewType::qzaFrontView, "Front View", "Front view"}};
    for (const View& view : kViews) {
        ProgressStep(view.Step);
        const TBitmap picture = FPictures.SceneView(view.Type);
        if (picture.IsEmpty()) {
            continue;
        }
        SetTitleStyle();
        const float titleHeight = TitleLineHeight();
        FImageScale = (FPageRight - FPageLeft) / static_cast<float>(picture.Width());
        const float height = static_cast<float>(picture.Height()) * FImageScale;
        // The title goes with its view: both start a new page when the view would not fit below.
        if (FWriteY + titleHeight + 10.0f + height > FPageBottom) {
            NewReportPage();
        }
        FLastRect = FWriter.DrawText(view.Title, {FWriteX, FWriteY});
        FWriteY += FLastRect.Height() + 10.0f;
        PlaceFullWidthPicture(picture, 0xFFC0C0C0);
    }
}

} // namespace vendrel
