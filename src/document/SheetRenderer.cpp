#include "document/SheetRenderer.h"

namespace {

SheetRenderer::Factory& factory()
{
    static SheetRenderer::Factory instance;
    return instance;
}

} // namespace

void SheetRenderer::setFactory(Factory f)
{
    factory() = std::move(f);
}

std::unique_ptr<SheetRenderer> SheetRenderer::make(const QRectF& frame,
                                                   const LBDocument::Pages& pages)
{
    return factory() ? factory()(frame, pages) : nullptr;
}

bool SheetRenderer::hasFactory()
{
    return bool(factory());
}
