// The Save Report command and the pictures the main window makes for the report.

#include "acoustics/cab_model.h"
#include "acoustics/model_registry.h"
#include "acoustics/physical_space.h"
#include "acoustics/project.h"
#include "app/about_form.h"
#include "app/main_form.h"
#include "editor/documents.h"
#include "editor/editor.h"
#include "editor/qt/scene_picture.h"
#include "editor/qt/viewport_panel.h"
#include "files/library_scan.h"
#include "platform/core/edit_helpers.h"
#include "platform/qt/gl_renderer.h"
#include "platform/qt/gl_view.h"
#include "platform/qt/pdf_writer.h"
#include "report/report.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QStatusBar>

#include <stdexcept>

namespace vendrel {

namespace {

// The scene's views are drawn off screen at one size, whatever the window's size.
constexpr int kSceneWidth = 1600;
constexpr int kSceneHeight = 1000;

TBitmap bitmapOf(const QImage& Image) {
    const QImage argb = Image.convertToFormat(QImage::Format_ARGB32);
    TBitmap bitmap(argb.width(), argb.height());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::copy(row, row + argb.width(),
                  bitmap.Pixels().begin() + static_cast<std::ptrdiff_t>(y) * argb.width());
    }
    return bitmap;
}

// The window's progress bar and status line during the report, painted at once: the report runs
// without handing control back to the event loop.
class PaintedProgress : public IProgressBar, public IStatusLabel {
public:
    PaintedProgress(IProgressBar* Bar, IStatusLabel* Status, QStatusBar* Widgets)
        : bar_(Bar), status_(Status), widgets_(Widgets) {}
    void SetMax(double v) override { bar_->SetMax(v); }
    void SetValue(double v) override {
        bar_->SetValue(v);
        paint();
    }
    double Value() const override { return bar_->Value(); }
    void SetStyleLookup(const std::string& s) override { bar_->SetStyleLookup(s); }
    void SetText(const std::string& t) override {
        status_->SetText(t);
        paint();
    }

private:
    void paint() {
        if (widgets_ != nullptr && widgets_->isVisible()) {
            widgets_->repaint();
        }
    }
    IProgressBar* bar_;
    IStatusLabel* status_;
    QStatusBar* widgets_;
};

} // namespace

void TMainForm::SaveReportActionExecute() {
    TAcousticProject& project = *AcousticProject;
    TReportContext context;
    context.Project = &project;
    context.InstallName = project.InstallationName();
    context.CreatedBy = project.PRJCreatedBy();
    context.Description = project.PRJDescription();
    context.Coordinates = project.GPSCoordinates();
    const TFormatSettings& format = Editor->State.FormatSettings;
    const TUnits& units = Editor->State.Units;
    const bool fahrenheit = units.TempUnitText.find('F') != std::string::npos;
    context.Temperature = FormatFloatPattern(
        "0.0", fahrenheit ? PhysicalSpace->TempFahrenheit() : PhysicalSpace->TempCelsius(), format);
    context.Humidity = std::to_string(PhysicalSpace->RelHumid());
    context.TempUnitText = units.TempUnitText;
    context.HumidityUnitText = units.HumidityUnitText;
    context.PreCaption = PreCaption;
    context.ActiveProjectFileName = Documents->ActiveProjectFileName;
    context.LengthUnits = units.LengthUnits;
    context.LengthUnitText = units.LengthUnitText;
    context.MassUnits = units.MassUnits;
    context.MassUnitText = units.MassUnitText;
    context.Format = format;
    PaintedProgress progress(projectProgress_.get(), projectStatus_.get(), statusBar());
    context.ProgressBar = &progress;
    context.StatusLabel = &progress;

    TPdfWriter writer;
    GeneratePdfReport(context, *this, writer);
}

QImage TMainForm::GetSceneBMP() {
    TEditorGLView* view = viewportPanel_->GLView();
    if (view->Viewport() == nullptr) {
        return {};
    }
    const QImage scene = view->Renderer().RenderToImage(*view->Viewport(), QSize(kSceneWidth, kSceneHeight));
    if (scene.isNull()) {
        return {};
    }
    // The colour bar as its panel draws it (not a grab of the screen).
    QImage bar;
    if (panelMapBar_ != nullptr && panelMapBar_->width() > 0 && panelMapBar_->height() > 0) {
        bar = panelMapBar_->grab().toImage();
    }
    QImage logo;
    if (const auto* label = about_.findChild<QLabel*>(QStringLiteral("LogoImage"))) {
        logo = label->pixmap().toImage();
    }
    const char* name = "View: 3D    ";
    switch (AcousticProject->ViewType()) {
    case TViewType::qzaSideView:
        name = "View: Side  ";
        break;
    case TViewType::qzaTopView:
        name = "View: Top   ";
        break;
    case TViewType::qzaThreeDView:
        break;
    case TViewType::qzaFrontView:
        name = "View: Front ";
        break;
    }
    const TRenderControl& render = Editor->Render;
    const std::string caption = std::string(name) + "  |  Bandwidth: " + render.FreqBandsCombo.Selected() +
                                "  |  Center Frequency: " + render.FreqsCombo.Selected();
    return ComposeScenePicture(scene, bar, logo, QImage(), QString::fromStdString(caption));
}

TBitmap TMainForm::SceneView(TViewType View) {
    if (ReportPictureHook) {
        ReportPictureHook("view");
    }
    TViewsCameras& views = Editor->Views;
    const auto show = [&views](TViewType v) {
        switch (v) {
        case TViewType::qzaSideView:
            views.SideViewActionExecute();
            break;
        case TViewType::qzaTopView:
            views.TopViewActionExecute();
            break;
        case TViewType::qzaThreeDView:
            views.ThreeDviewActionExecute();
            break;
        case TViewType::qzaFrontView:
            views.FrontViewActionExecute();
            break;
        }
    };
    // The view is shown for the picture and the user's view shown again afterwards, on every path.
    // A view already shown is not chosen again: choosing a 2D view again turns it round.
    const TViewType shown = AcousticProject->ViewType();
    struct Restore {
        std::function<void()> back;
        ~Restore() {
            if (back) {
                back();
            }
        }
    } restore;
    if (View != shown) {
        show(View);
        restore.back = [&show, shown] { show(shown); };
    }
    const QImage image = GetSceneBMP();
    if (image.isNull()) {
        throw std::runtime_error("The 3D view could not be drawn off screen (OpenGL 3.3 is needed).");
    }
    return bitmapOf(image);
}

TBitmap TMainForm::ModelPicture(const TCabModel& Model) {
    if (ReportPictureHook) {
        ReportPictureHook("model");
    }
    // The library's pictures follow its models; a model of an earlier reading has none any more.
    const auto& models = AcousticProject->ModelsDetected()->CabModel();
    const int32_t id = Model.ModelID();
    if (Library == nullptr || id < 0 || static_cast<size_t>(id) >= models.size() ||
        models[id].get() != &Model || static_cast<size_t>(id) >= Library->FCabImagesImported.size() ||
        !Library->FCabImagesImported[id]) {
        return {};
    }
    return *Library->FCabImagesImported[id];
}

TBitmap TMainForm::ArrayPicture(TCabArray&) {
    return {};
}

TBitmap TMainForm::DspProcessChart(TGenericDSPProcess&) {
    return {};
}

TBitmap TMainForm::ResponseChart() {
    return {};
}

} // namespace vendrel
