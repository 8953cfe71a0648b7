#!/usr/bin/env bash
# Makes ssim_reference.txt: scikit-image's SSIM of every image a student makes from the three
# samples (sample_runs.sh) against its align.pgm. Run once after a change to the tools; the
# check (ssim_check.sh) needs no Python.
#
#   make_ssim_reference.sh BUILD_DIR
#
# Needs python3-skimage (Debian 12 ships 0.19), run by the system Python.
set -euo pipefail

/usr/bin/python3 -c 'import skimage' 2>/dev/null \
  || { echo "falta scikit-image: apt-get install python3-skimage" >&2; exit 1; }
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/sample_runs.sh"
tools="$build/drive_c/qor/ejecutable/auxiliares"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

{
  echo "# sample image ssim: skimage.metrics.structural_similarity(align, image,"
  echo "#   gaussian_weights=True, sigma=1.5, use_sample_covariance=False, data_range=1)"
  echo "# on both images scaled to 0..1 by their maxval; made by make_ssim_reference.sh"
  for sample in camera coins text; do
    mkdir "$scratch/$sample"
    sample_images "$tools" "$tools/$sample.pgm" "$scratch/$sample"
    # shellcheck disable=SC2046
    /usr/bin/python3 - "$scratch/$sample" "$sample" $(sample_image_names) <<'PY'
import sys
import numpy as np
from skimage.metrics import structural_similarity

def read_pgm(path):
    data = open(path, 'rb').read()
    fields, pos = [], 2
    while len(fields) < 3:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(int(data[pos:end]))
        pos = end
    width, height, maxval = fields
    dtype = '>u2' if maxval > 255 else 'u1'
    pixels = np.frombuffer(data, dtype=dtype, count=width * height, offset=pos + 1)
    return pixels.reshape(height, width).astype(np.float64) / maxval

folder, sample, names = sys.argv[1], sys.argv[2], sys.argv[3:]
align = read_pgm(f'{folder}/align.pgm')
for name in names:
    image = read_pgm(f'{folder}/{name}.pgm')
    value = structural_similarity(align, image, gaussian_weights=True, sigma=1.5,
                                  use_sample_covariance=False, data_range=1)
    print(f'{sample} {name} {value:.6f}')
PY
  done
} >"$here/ssim_reference.txt"
echo "escrito $here/ssim_reference.txt"
