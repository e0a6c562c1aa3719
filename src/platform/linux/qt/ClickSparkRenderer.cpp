#include "platform/linux/qt/ClickSparkRenderer.h"

#include "platform/linux/qt/ClickSparkShaders.h"

#include <QWindow>

#include <cstddef>
#include <cstdio>

namespace tintra {

namespace {

void sayNoSparks(const char* because)
{
    std::fprintf(stdout, "TintraClickSparkRenderer: %s, so clicks will not spark.\n", because);
    std::fflush(stdout);
}

QSurfaceFormat requestedFormat()
{
    QSurfaceFormat format;
    format.setAlphaBufferSize(8); // a 32-bit visual, so the window can be transparent
    format.setDepthBufferSize(0);
    format.setStencilBufferSize(0);
    // Never wait for vertical blank: the main thread draws every screen in turn
    // and must stay free for clicks; the frame loop paces itself by elapsed time.
    format.setSwapInterval(0);
    if (QOpenGLContext::openGLModuleType() == QOpenGLContext::LibGLES) {
        format.setRenderableType(QSurfaceFormat::OpenGLES);
        format.setVersion(3, 0);
    } else {
        format.setRenderableType(QSurfaceFormat::OpenGL);
        format.setProfile(QSurfaceFormat::CoreProfile);
        format.setVersion(3, 3);
    }
    return format;
}

// Instancing and gl_VertexID need OpenGL 3.3 or OpenGL ES 3.0.
bool isRecentEnough(const QOpenGLContext& context)
{
    const auto [major, minor] = context.format().version();
    return context.isOpenGLES() ? major >= 3 : major > 3 || (major == 3 && minor >= 3);
}

constexpr GLsizei stride = sizeof(TintraClickSparkInstance);

struct Attribute {
    GLuint location;
    GLint components;
    std::size_t offset;
};

constexpr Attribute instanceAttributes[] = {
    { 0, 2, offsetof(TintraClickSparkInstance, position) },
    { 1, 2, offsetof(TintraClickSparkInstance, halfSize) },
    { 2, 4, offsetof(TintraClickSparkInstance, color) },
    { 3, 1, offsetof(TintraClickSparkInstance, rotation) },
    { 4, 1, offsetof(TintraClickSparkInstance, cornerRadius) },
    { 5, 1, offsetof(TintraClickSparkInstance, edgeSoftness) },
    { 6, 1, offsetof(TintraClickSparkInstance, strokeWidth) },
};

} // namespace

std::unique_ptr<TintraClickSparkRenderer> TintraClickSparkRenderer::make()
{
    std::unique_ptr<TintraClickSparkRenderer> renderer { new TintraClickSparkRenderer };
    if (!renderer->build())
        return nullptr;
    return renderer;
}

bool TintraClickSparkRenderer::build()
{
    context_.setFormat(requestedFormat());
    if (!context_.create() || !isRecentEnough(context_)) {
        sayNoSparks("no OpenGL context");
        return false;
    }
    surface_.setFormat(context_.format());
    surface_.create();
    if (!surface_.isValid() || !context_.makeCurrent(&surface_)) {
        sayNoSparks("no OpenGL surface");
        return false;
    }
    gl_ = context_.extraFunctions();
    const bool built = buildProgram();
    if (built)
        makeBuffers();
    context_.doneCurrent();
    return built;
}

bool TintraClickSparkRenderer::buildProgram()
{
    const QByteArray header = context_.isOpenGLES() ? "#version 300 es\nprecision highp float;\n" : "#version 330 core\n";
    if (!program_.addShaderFromSourceCode(QOpenGLShader::Vertex, header + clickSparkVertexShader)
        || !program_.addShaderFromSourceCode(QOpenGLShader::Fragment, header + clickSparkFragmentShader)) {
        sayNoSparks("no default GLSL shaders");
        return false;
    }
    if (!program_.link()) {
        sayNoSparks("the sparks pipeline would not build");
        return false;
    }
    viewportSizeLocation_ = program_.uniformLocation("viewportSize");
    return true;
}

void TintraClickSparkRenderer::makeBuffers()
{
    gl_->glGenVertexArrays(1, &vertexArray_);
    gl_->glBindVertexArray(vertexArray_);
    gl_->glGenBuffers(1, &instanceBuffer_);
    gl_->glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer_);
    gl_->glBufferData(GL_ARRAY_BUFFER, sizeof instances_, nullptr, GL_DYNAMIC_DRAW);
    for (const Attribute& attribute : instanceAttributes) {
        gl_->glEnableVertexAttribArray(attribute.location);
        gl_->glVertexAttribPointer(attribute.location, attribute.components, GL_FLOAT, GL_FALSE, stride,
            reinterpret_cast<const void*>(attribute.offset));
        gl_->glVertexAttribDivisor(attribute.location, 1);
    }
    gl_->glBindVertexArray(0);
}

TintraClickSparkRenderer::~TintraClickSparkRenderer()
{
    // GL objects can only be deleted with their context current.
    if (!context_.isValid() || !context_.makeCurrent(&surface_))
        return;
    if (instanceBuffer_)
        gl_->glDeleteBuffers(1, &instanceBuffer_);
    if (vertexArray_)
        gl_->glDeleteVertexArrays(1, &vertexArray_);
    program_.removeAllShaders();
    context_.doneCurrent();
}

bool TintraClickSparkRenderer::render(QWindow& window, const std::vector<TintraClickSpark>& sparks)
{
    const QSize points = window.size();
    if (points.width() <= 0 || points.height() <= 0 || !window.isExposed() || !context_.makeCurrent(&window))
        return false;
    const qreal ratio = window.devicePixelRatio();
    gl_->glViewport(0, 0, static_cast<GLsizei>(points.width() * ratio), static_cast<GLsizei>(points.height() * ratio));
    gl_->glClearColor(0, 0, 0, 0);
    gl_->glClear(GL_COLOR_BUFFER_BIT);

    std::size_t count = 0;
    for (const TintraClickSpark& spark : sparks) {
        if (count == instances_.size())
            break;
        if (const auto record = instance(spark))
            instances_[count++] = *record;
    }
    if (count > 0) {
        gl_->glEnable(GL_BLEND);
        gl_->glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        program_.bind();
        program_.setUniformValue(viewportSizeLocation_, QSizeF(points));
        gl_->glBindVertexArray(vertexArray_);
        gl_->glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer_);
        gl_->glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(TintraClickSparkInstance)), instances_.data());
        gl_->glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, static_cast<GLsizei>(count));
        gl_->glBindVertexArray(0);
    }
    context_.swapBuffers(&window);
    return true;
}

} // namespace tintra
