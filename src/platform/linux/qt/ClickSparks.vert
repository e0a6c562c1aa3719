// One rounded square per instance: a triangle strip of four corners around
// the square, reaching past it by the soft edge, in a pixel-space projection
// of the view (origin top-left, y down, in points).
layout(location = 0) in vec2 position;
layout(location = 1) in vec2 halfSize;
layout(location = 2) in vec4 color;
layout(location = 3) in float rotation;
layout(location = 4) in float cornerRadius;
layout(location = 5) in float edgeSoftness;
layout(location = 6) in float strokeWidth;

uniform vec2 viewportSize;

out vec2 local;
flat out vec2 squareHalfSize;
flat out vec4 squareColor;
flat out float squareCornerRadius;
flat out float squareEdgeSoftness;
flat out float squareStrokeWidth;

void tintraClickSparkVertex()
{
    vec2 corner = vec2(float(gl_VertexID & 1), float(gl_VertexID >> 1)) * 2.0 - 1.0;
    local = corner * (halfSize + edgeSoftness);
    float c = cos(rotation);
    float s = sin(rotation);
    vec2 point = position + vec2(c * local.x - s * local.y, s * local.x + c * local.y);
    gl_Position = vec4(point.x / viewportSize.x * 2.0 - 1.0, 1.0 - point.y / viewportSize.y * 2.0, 0.0, 1.0);
    squareHalfSize = halfSize;
    squareColor = color;
    squareCornerRadius = cornerRadius;
    squareEdgeSoftness = edgeSoftness;
    squareStrokeWidth = strokeWidth;
}

void main()
{
    tintraClickSparkVertex();
}
