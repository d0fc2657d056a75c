#include "platform/qt/gl_renderer.h"

#include "platform/core/viewport3d.h"
#include "platform/qt/gl_frame.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions_3_3_Core>
#include <QOpenGLVersionFunctionsFactory>
#include <QSurfaceFormat>

#include <algorithm>

namespace vendrel {

namespace {

// The background of a view without a scene.
constexpr TAlphaColor kNoSceneBackground = 0xFF2B2B2B;

QSurfaceFormat coreFormat() {
    QSurfaceFormat format;
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setDepthBufferSize(24);
    format.setAlphaBufferSize(8);
    return format;
}

// Makes a context current on a surface for a scope, then gives the caller's current context (or
// none) back. Nothing changes when the context is already current.
class CurrentContextScope {
public:
    CurrentContextScope(QOpenGLContext* context, QSurface* surface)
        : FPrevious(QOpenGLContext::currentContext()),
          FPreviousSurface(FPrevious != nullptr ? FPrevious->surface() : nullptr), FContext(context) {
        if (FPrevious == context) {
            FOk = true;
            return;
        }
        FSwitched = true;
        FOk = surface != nullptr && context->makeCurrent(surface);
    }
    ~CurrentContextScope() {
        if (!FSwitched) {
            return;
        }
        if (FPrevious != nullptr) {
            FPrevious->makeCurrent(FPreviousSurface);
        } else {
            FContext->doneCurrent();
        }
    }
    CurrentContextScope(const CurrentContextScope&) = delete;
    CurrentContextScope& operator=(const CurrentContextScope&) = delete;

    bool Ok() const { return FOk; }

private:
    QOpenGLContext* FPrevious;
    QSurface* FPreviousSurface;
    QOpenGLContext* FContext;
    bool FSwitched = false;
    bool FOk = false;
};

// Sets a viewport's view size for a scope.
class ViewSizeScope {
public:
    ViewSizeScope(TViewport3D& viewport, QSize size)
        : FViewport(viewport), FWidth(viewport.ViewWidth()), FHeight(viewport.ViewHeight()) {
        viewport.SetViewSize(static_cast<float>(size.width()), static_cast<float>(size.height()));
    }
    ~ViewSizeScope() { FViewport.SetViewSize(FWidth, FHeight); }
    ViewSizeScope(const ViewSizeScope&) = delete;
    ViewSizeScope& operator=(const ViewSizeScope&) = delete;

private:
    TViewport3D& FViewport;
    float FWidth;
    float FHeight;
};

// The caller's framebuffer binding and GL viewport, given back at the end of a scope.
class FramebufferScope {
public:
    explicit FramebufferScope(QOpenGLFunctions_3_3_Core& gl) : FGl(gl) {
        gl.glGetIntegerv(GL_FRAMEBUFFER_BINDING, &FFramebuffer);
        gl.glGetIntegerv(GL_VIEWPORT, FViewport);
    }
    ~FramebufferScope() {
        FGl.glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(FFramebuffer));
        FGl.glViewport(FViewport[0], FViewport[1], FViewport[2], FViewport[3]);
    }
    FramebufferScope(const FramebufferScope&) = delete;
    FramebufferScope& operator=(const FramebufferScope&) = delete;

private:
    QOpenGLFunctions_3_3_Core& FGl;
    GLint FFramebuffer = 0;
    GLint FViewport[4] = {};
};

} // namespace

class TGLRenderer::Impl {
public:
    ~Impl() { detach(); }

    bool Render(TViewport3D* viewport, QSize pixels) {
        QOpenGLContext* current = QOpenGLContext::currentContext();
        if (current == nullptr) {
            return false;
        }
        const bool ready = attach(current);
        const QSize size(std::max(pixels.width(), 1), std::max(pixels.height(), 1));
        if (!ready || viewport == nullptr) {
            gl::ClearFrame(size, viewport != nullptr ? viewport->Color : kNoSceneBackground);
            if (ready) {
                gl::FreeLeftovers(*FGl, FState);
            }
            return ready;
        }
        gl::DrawFrame(*FGl, FState, *viewport, size);
        ++FFrames;
        return true;
    }

    QImage RenderToImage(TViewport3D& viewport, QSize size) {
        if (size.isEmpty()) {
            return {};
        }
        if (FContext == nullptr && !createOwnContext()) {
            return {};
        }
        CurrentContextScope scope(FContext, surface());
        if (!scope.Ok() || !attach(FContext) || !fitsTheCard(size)) {
            return {};
        }
        FramebufferScope framebuffer(*FGl);
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::Depth);
        format.setSamples(FSamples);
        format.setInternalTextureFormat(GL_RGBA8);
        QOpenGLFramebufferObject target(size, format);
        if (!target.isValid() || !target.bind()) {
            qWarning("No off-screen framebuffer of %d x %d pixels", size.width(), size.height());
            return {};
        }
        {
            const ViewSizeScope viewSize(viewport, size);
            Render(&viewport, size);
        }
        return target.toImage().convertToFormat(QImage::Format_RGB32);
    }

    int Samples() const { return FSamples; }
    void SetSamples(int value) { FSamples = std::max(value, 0); }
    bool IsReady() const { return FReady; }

    TGLRenderStats Stats() const {
        TGLRenderStats s;
        s.Frames = FFrames;
        s.MeshUploads = FState.Meshes.Uploads();
        s.TextureUploads = FState.Textures.Uploads();
        s.MeshesHeld = FState.Meshes.Count();
        s.TexturesHeld = FState.Textures.Count();
        return s;
    }

private:
    // Makes the current context the renderer's own; the copies kept in the one before are freed.
    bool attach(QOpenGLContext* context) {
        if (context == FContext) {
            return FReady;
        }
        detach();
        FContext = context;
        // The context going frees the copies while it still can; a context of our own never goes
        // but through detach, which disconnects first.
        FContextGoing = QObject::connect(
            context, &QOpenGLContext::aboutToBeDestroyed, context, [this] { detach(); },
            Qt::DirectConnection);
        // The functions belong to the context and go with it.
        FGl = QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(context);
        FReady = FGl != nullptr && FGl->initializeOpenGLFunctions() && FState.Create(*FGl);
        if (!FReady) {
            qWarning("OpenGL 3.3 core is not available: the 3D view stays empty");
        }
        return FReady;
    }

    // Frees everything kept in the renderer's context (made current meanwhile) and leaves it.
    void detach() {
        if (FContext == nullptr) {
            return;
        }
        QObject::disconnect(FContextGoing);
        if (FReady) {
            const CurrentContextScope scope(FContext, surface());
            if (scope.Ok()) {
                FState.Release(*FGl);
            }
        }
        FReady = false;
        FGl = nullptr;
        FContext = nullptr;
        FSurface.reset();
        // A context of our own serves only until another one is used.
        FOwnContext.reset();
        FOwnSurface.reset();
    }

    // An off-screen surface on which the renderer's context can be made current.
    QSurface* surface() {
        if (FContext != nullptr && FContext == FOwnContext.get()) {
            return FOwnSurface.get();
        }
        if (FSurface == nullptr && FContext != nullptr) {
            FSurface = std::make_unique<QOffscreenSurface>();
            FSurface->setFormat(FContext->format());
            FSurface->create();
        }
        return FSurface.get();
    }

    bool createOwnContext() {
        auto context = std::make_unique<QOpenGLContext>();
        context->setFormat(coreFormat());
        if (!context->create()) {
            qWarning("No OpenGL context for off-screen drawing");
            return false;
        }
        auto surface = std::make_unique<QOffscreenSurface>();
        surface->setFormat(context->format());
        surface->create();
        const CurrentContextScope scope(context.get(), surface.get());
        if (!scope.Ok()) {
            qWarning("The off-screen OpenGL context cannot be made current");
            return false;
        }
        FOwnContext = std::move(context);
        FOwnSurface = std::move(surface);
        attach(FOwnContext.get());
        return true;
    }

    // Whether the card can draw an image of this size at all.
    bool fitsTheCard(QSize size) {
        GLint renderbuffer = 0;
        GLint texture = 0;
        GLint viewport[2] = {};
        FGl->glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        FGl->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
        FGl->glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
        const int limitW = std::min({renderbuffer, texture, viewport[0]});
        const int limitH = std::min({renderbuffer, texture, viewport[1]});
        if (size.width() > limitW || size.height() > limitH) {
            qWarning("An off-screen image of %d x %d pixels exceeds the card's %d x %d", size.width(),
                     size.height(), limitW, limitH);
            return false;
        }
        return true;
    }

    QOpenGLContext* FContext = nullptr; // the context the copies live in; not owned unless FOwnContext
    QMetaObject::Connection FContextGoing;
    std::unique_ptr<QOffscreenSurface> FSurface;
    std::unique_ptr<QOpenGLContext> FOwnContext;
    std::unique_ptr<QOffscreenSurface> FOwnSurface;
    QOpenGLFunctions_3_3_Core* FGl = nullptr; // owned by FContext
    gl::GpuState FState;
    bool FReady = false;
    int FSamples = 0;
    int64_t FFrames = 0;
};

TGLRenderer::TGLRenderer() : d_(std::make_unique<Impl>()) {}

TGLRenderer::~TGLRenderer() = default;

bool TGLRenderer::Render(TViewport3D* Viewport, QSize PixelSize) {
    return d_->Render(Viewport, PixelSize);
}

QImage TGLRenderer::RenderToImage(TViewport3D& Viewport, QSize Size) {
    return d_->RenderToImage(Viewport, Size);
}

int TGLRenderer::Samples() const {
    return d_->Samples();
}

void TGLRenderer::SetSamples(int Value) {
    d_->SetSamples(Value);
}

bool TGLRenderer::IsReady() const {
    return d_->IsReady();
}

TGLRenderStats TGLRenderer::Stats() const {
    return d_->Stats();
}

} // namespace vendrel
