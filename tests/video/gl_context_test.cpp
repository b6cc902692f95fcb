// The OpenGL context seam: created on a surface, refused with the messages of
// the output window, destroyed once.
#include <gtest/gtest.h>

#include "support/test_machine.h"
#include "video/gl_context.h"

namespace {

class CountingSurface : public GlSurface {
  public:
    explicit CountingSurface(bool works) : works_(works) {}
    bool createContext() override { return works_; }
    void destroyContext() override { ++destroyed; }
    void swapBuffers() override { ++swapped; }
    int destroyed = 0, swapped = 0;

  private:
    bool works_;
};

TEST(GlContext, CreatedOnASurfaceDestroyedOnceAndRefusedWithAMessage) {
    ScopedRecordingSink sink;
    CountingSurface surface(true);
    createGlContext(&surface);
    EXPECT_TRUE(theGlContext.renderContext);
    swapGlBuffers();
    EXPECT_EQ(surface.swapped, 1);
    destroyGlContext();
    destroyGlContext();
    EXPECT_EQ(surface.destroyed, 1);
    EXPECT_FALSE(theGlContext.renderContext);
    swapGlBuffers();
    EXPECT_EQ(surface.swapped, 1);
    EXPECT_TRUE(sink->messages().empty());

    // Without a context the run goes on after a message.
    CountingSurface failing(false);
    createGlContext(&failing);
    EXPECT_FALSE(theGlContext.renderContext);
    createGlContext(nullptr);
    const auto messages = sink->messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "wglCreateContext() failed!");
    EXPECT_EQ(messages[1].text, "ChoosePixelFormat() failed!");
    destroyGlContext();
    EXPECT_EQ(failing.destroyed, 0);
}

} // namespace
