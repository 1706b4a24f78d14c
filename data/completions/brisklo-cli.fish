# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for brisklo-cli (options as `brisklo-cli --help` lists them).

complete -c brisklo-cli -s o -l output -r -a '(__fish_complete_directories)' -d 'Write outputs into DIR'
complete -c brisklo-cli -s r -l recursive -d 'Also add files in sub-folders of a folder'
complete -c brisklo-cli -l level -x -a 'general deep limit' -d 'Video compression level'
complete -c brisklo-cli -l format -x -a 'mp4 flv mov mkv' -d 'Video container'
complete -c brisklo-cli -l size -x -d 'Video frame size WxH, 0x0 keeps the source size'
complete -c brisklo-cli -l crf -x -d 'Custom video quality 0-51, overrides --level'
complete -c brisklo-cli -l balanced -d 'Balanced encoder preset (slower, smaller)'
complete -c brisklo-cli -l channels -x -a '1 2' -d 'Audio channels'
complete -c brisklo-cli -l sample-rate -x -a '96000 88200 64000 48000 44100 32000 24000 22050 16000 12000 11025 8000 7350' -d 'Audio sample rate'
complete -c brisklo-cli -l audio-bitrate -x -a '320000 128000 96000 64000' -d 'Audio bit rate'
complete -c brisklo-cli -l image-level -x -a 'general deep limit' -d 'Image compression level'
complete -c brisklo-cli -l jpeg -d 'Convert images to JPEG'
complete -c brisklo-cli -l scale -x -a '0 1 2 3 4 5' -d 'Image scale step (0 keeps the size)'
complete -c brisklo-cli -l image-size -x -d 'Custom image size WxH'
complete -c brisklo-cli -l gif-drop -x -a '0 1 2 3 4' -d 'Drop GIF frames'
complete -c brisklo-cli -l stall-timeout -x -d 'End an encode that shows no progress for this long'
complete -c brisklo-cli -l quality-first -d 'Quality-first encoder preset'
complete -c brisklo-cli -l target-size -x -d 'Fit each video under this size (e.g. 8M)'
complete -c brisklo-cli -l target-percent -x -d 'Fit each video under this share of its size'
complete -c brisklo-cli -l image-max-size -x -d 'Make each image at most this size (e.g. 200K)'
complete -c brisklo-cli -l keep-photo-info -d "Keep a photo's EXIF, without its position"
complete -c brisklo-cli -l keep-location -d "Keep a photo's EXIF with its position"
complete -c brisklo-cli -l min-saving -x -d 'Keep the source when the output saves less than this'
complete -c brisklo-cli -l allow-larger -d 'Keep outputs that are not smaller than their source'
complete -c brisklo-cli -l json -d 'Print one JSON object with every result'
complete -c brisklo-cli -s q -l quiet -d 'Print only failures'
complete -c brisklo-cli -s v -l verbose -d "Also print the engine's diagnostic lines"
complete -c brisklo-cli -s h -l help -d 'Show the help'
complete -c brisklo-cli -l version -d 'Show the version'
