#pragma once

#include "sparks/ClickSpark.h"
#include "sparks/ClickSparkField.h"
#include "sparks/ClickSparkInstance.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLShaderProgram>
#include <QSurfaceFormat>

#include <array>
#include <memory>
#include <vector>

class QWindow;

namespace tintra {

// The sparks' one OpenGL context, program and instance buffer, made once and
// made current on whichever overlay window draws. Main thread only.
//
// `make` builds everything or, naming what was missing in one line on
// standard output, nothing: without a renderer clicks do not spark.
class TintraClickSparkRenderer {
public:
    static std::unique_ptr<TintraClickSparkRenderer> make();
    ~TintraClickSparkRenderer();
    TintraClickSparkRenderer(const TintraClickSparkRenderer&) = delete;
    TintraClickSparkRenderer& operator=(const TintraClickSparkRenderer&) = delete;

    // What every overlay window must be created with, so that the context can draw into it.
    QSurfaceFormat format() const { return context_.format(); }

    // Clears the exposed window to transparent, draws the visible sparks in
    // one instanced call at `size` points and presents the frame. False when
    // the window cannot be drawn into now; the caller skips the frame.
    bool render(QWindow& window, const std::vector<TintraClickSpark>& sparks);

private:
    TintraClickSparkRenderer() = default;
    bool build();
    bool buildProgram();
    void makeBuffers();

    QOpenGLContext context_;
    QOffscreenSurface surface_;
    QOpenGLExtraFunctions* gl_ = nullptr;
    QOpenGLShaderProgram program_;
    int viewportSizeLocation_ = -1;
    unsigned vertexArray_ = 0;
    unsigned instanceBuffer_ = 0;
    std::array<TintraClickSparkInstance, TintraClickSparkField::capacity> instances_ {};
};

} // namespace tintra
