#!/usr/bin/env bash
# The pictures e2e.RunPictures left in FOLDER, decoded whole by ImageMagick
# rather than by the system that encoded them: each a PNG of 800 x 400
# pixels in more than a few colours.
set -u
folder=${1:?usage: decode_pictures.sh FOLDER}
failed=0
for name in wheel-test replay; do
  file=$folder/$name.png
  # %k counts the distinct colours: every pixel is decoded.
  seen=$(identify -format '%m %w %h %k' "$file" 2>&1)
  if [[ $seen =~ ^PNG\ 800\ 400\ ([0-9]+)$ ]] && ((BASH_REMATCH[1] > 4)); then
    echo "ok    $name.png: $seen"
  else
    echo "FAIL  $name.png: $seen"
    failed=1
  fi
done
exit $failed
