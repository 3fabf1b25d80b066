// Every image's life, in one place. An upload makes an image (with its ES
// texture while the layer is started). The list that records the upload holds
// it, and so does the default texture while the image is in force; when the
// last holder lets go, the image and its ES texture go. Stopping the layer
// deletes every ES texture at once.
#include "gl11/Gl11Context.h"

namespace gl11 {

int AddImage(int32_t width, int32_t height, std::vector<uint8_t>& rgba) {
  std::vector<Image>& images = context.images;
  size_t slot = 0;
  while (slot < images.size() && images[slot].inUse) ++slot;
  if (slot == images.size()) images.emplace_back();
  Image& i = images[slot];
  i.inUse = true;
  i.width = width;
  i.height = height;
  i.rgba.swap(rgba);
  if (context.started && width > 0 && height > 0) i.esTexture = EsNewTexture(width, height, i.rgba.data());
  return int(slot);
}

void SubmitUpload(int image) {
  // Held here for the call: a list that records the upload holds the image,
  // and so does the default texture once the upload runs; it goes when neither does.
  Retain(image);
  if (context.compiling) Retain(image);
  Submit(MakeCommand(Op::TexImage, uint32_t(image)));
  Release(image);
}

void Retain(int image) {
  if (image >= 0) ++context.images[size_t(image)].holders;
}

void Release(int image) {
  if (image < 0) return;
  Image& i = context.images[size_t(image)];
  if (--i.holders > 0) return;
  // Queued draws may still sample it.
  FlushQueue();
  if (context.started && i.esTexture != 0) EsDeleteTexture(i.esTexture);
  i = Image();
}

void BindImage(int image) {
  Retain(image);
  Release(context.defaultTexture.image);
  context.defaultTexture.image = image;
  context.defaultTexture.esTexture = image >= 0 ? context.images[size_t(image)].esTexture : 0;
}

void ReleaseCommands(std::vector<Command>& commands) {
  for (const Command& c : commands)
    if (c.op == Op::TexImage) Release(int(c.ints[0]));
  commands.clear();
}

void DeleteEsTextures() {
  for (Image& i : context.images)
    if (i.esTexture) EsDeleteTexture(i.esTexture);
}

}  // namespace gl11
