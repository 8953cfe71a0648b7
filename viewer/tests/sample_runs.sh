# The images a student makes from one sample: every distortion, and after each the restorations
# that undo it, run with the real tools as the operations start them. Sourced by
# make_ssim_reference.sh and ssim_check.sh, so that the reference values and the check measure
# the same images.
#
#   sample_images TOOL_FOLDER SAMPLE.pgm FOLDER
#
# Leaves FOLDER/align.pgm and FOLDER/<name>.pgm for each name `sample_image_names` lists. The
# interactive tools get Enter, which takes their advised values.

sample_image_names() {
  echo mblur10 mov10 mblur25 mov25 mblur50 mov50 \
    blur inverso-blur wiener-blur blurruido inverso-blurruido wiener-blurruido \
    ruidoe retiro homo enfasis fft
}

sample_images() {
  local tools=$1 sample=$2 out=$3
  (
    set -e
    cd "$out"
    cp "$tools/psf1A.pgm" "$tools/psf2A.pgm" .
    "$tools/align.exe" "$sample" >/dev/null
    local n
    for n in 10 25 50; do
      "$tools/mblur.exe" align.pgm "$n" distor.pgm
      cp distor.pgm "mblur$n.pgm"
      "$tools/motion.exe" distor.pgm "$n" "mov$n.pgm"
    done
    local kind
    for kind in blur blurruido; do
      if [[ $kind == blur ]]; then
        "$tools/blur.exe" align.pgm psf1A.pgm distor.pgm
      else
        "$tools/blur.exe" align.pgm psf1A.pgm Dis_Ruido.pgm
        "$tools/snoise.exe" Dis_Ruido.pgm distor.pgm
      fi
      cp distor.pgm "$kind.pgm"
      printf '\n' | "$tools/inverse.exe" distor.pgm psf2A.pgm "inverso-$kind.pgm" >/dev/null
      printf '\n' | "$tools/wiener.exe" distor.pgm psf1A.pgm "wiener-$kind.pgm" >/dev/null
    done
    "$tools/snoise.exe" align.pgm distor.pgm
    cp distor.pgm ruidoe.pgm
    printf '\n' | "$tools/snr.exe" distor.pgm retiro.pgm >/dev/null
    "$tools/shuffle.exe" align.pgm
    "$tools/homo.exe" shuff.pgm homo.pgm
    "$tools/hiemph.exe" align.pgm alto.pgm
    "$tools/hiemph.exe" alto.pgm enfasis.pgm
    "$tools/transfor.exe" align.pgm fft.pgm
  )
}
