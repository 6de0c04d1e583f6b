#pragma once
// The inline tags of DrawKit::DrawTaggedText turned into pango text and attributes. Internal.
//
// A tag is "<x>" or "{x}" with one lower-case letter, optionally followed by a space and arguments
// ("<c #FF0000FF>", "{f 1}"); "</x>" or "{/x}" ends it. Something that is not a tag is text.
//   a [text]   link (the text reported, or the enclosed text)   b  bold          u  underline
//   c #colour  text colour                                       f id | f name size [bold] [underline]
//   [italic] i image    inline image ("file='..'", "res='..'" or a name)  n  line break p [n]      new
//   paragraph, n pixels of spacing above it       r  raw: no tags until the end tag x n        move right n
//   pixels                               y n  line height n s, v       accepted; selection and vertical
//   alignment of pieces are not drawn
// A tag left open ends with the text; an end tag without its tag is dropped.

#include <pango/pango.h>

#include <memory>
#include <string>
#include <vector>

#include "skinui/render_host.h"

namespace SkinUI::text {

struct AttrListUnref {
    void operator()(PangoAttrList* list) const { pango_attr_list_unref(list); }
};

struct TaggedText {
    struct InlineImage {
        int byteIndex;
        std::shared_ptr<const Image> image;
        int top;  // pixels from the baseline to the image's top (negative: above)
    };
    struct Link {
        int start;  // byte range in utf8
        int end;
        std::wstring text;
    };

    std::string utf8;
    std::unique_ptr<PangoAttrList, AttrListUnref> attributes{pango_attr_list_new()};
    std::vector<InlineImage> images;
    std::vector<Link> links;
};

// `context` gives font metrics for paragraph spacing; `font` is the base font.
TaggedText ParseTaggedText(std::wstring_view text, IRenderHost& host, const Font& font,
                           PangoContext* context);

}  // namespace SkinUI::text
