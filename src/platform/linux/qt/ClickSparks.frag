// Coverage of a rounded square from its signed distance, ramped over the
// soft edge; a positive stroke keeps only the ring inside the border. The
// colour arrives premultiplied, so coverage scales all four channels.
in vec2 local;
flat in vec2 squareHalfSize;
flat in vec4 squareColor;
flat in float squareCornerRadius;
flat in float squareEdgeSoftness;
flat in float squareStrokeWidth;

out vec4 fragmentColor;

void tintraClickSparkFragment()
{
    vec2 q = abs(local) - squareHalfSize + squareCornerRadius;
    float distance = length(max(q, 0.0)) + min(max(q.x, q.y), 0.0) - squareCornerRadius;
    float coverage = clamp(0.5 - distance / squareEdgeSoftness, 0.0, 1.0);
    if (squareStrokeWidth > 0.0)
        coverage *= clamp(0.5 + (distance + squareStrokeWidth) / squareEdgeSoftness, 0.0, 1.0);
    fragmentColor = squareColor * coverage;
}

void main()
{
    tintraClickSparkFragment();
}
